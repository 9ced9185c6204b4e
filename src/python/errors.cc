#include "python/errors.h"

#include "python/py_ref.h"

namespace ov::py {
namespace {

// Lives for the process, like the module itself.
PyObject* panic_type = nullptr;

PyObject* panic_exception_type() {
  if (panic_type == nullptr) {
    panic_type = PyErr_NewExceptionWithDoc(
        kPanicTypeName,
        "An internal fault of the native module. Derived from BaseException so that `except "
        "Exception` does not swallow it.",
        PyExc_BaseException, nullptr);
  }
  return panic_type;
}

}  // namespace

PyObject* fail() {
  if (!PyErr_Occurred()) {
    PyErr_SetString(PyExc_SystemError, "attempted to fetch exception but none was set");
  }
  return nullptr;
}

PyObject* raise(PyObject* type, std::string_view text) {
  PyRef message =
      PyRef::steal(PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size())));
  if (!message) return fail();
  PyErr_SetObject(type, message.get());
  return nullptr;
}

PyObject* raise_failure(const Failure& failure) {
  // Every kind is a refused value: the tool's usage and catalog statuses alike.
  return raise(PyExc_ValueError, failure.message);
}

PyObject* raise_panic(std::string_view text) {
  PyObject* type = panic_exception_type();
  if (type == nullptr) return fail();
  return raise(type, text);
}

}  // namespace ov::py
