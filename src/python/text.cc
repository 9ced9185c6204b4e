#include "python/text.h"

#include "python/binding_messages.h"
#include "python/errors.h"
#include "python/py_ref.h"

namespace ov::py {
namespace {

bool bytes_to_text(PyObject* bytes, std::string& out) {
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(bytes, &data, &size) != 0) return false;
  out.assign(data, static_cast<std::size_t>(size));
  return true;
}

}  // namespace

std::string type_qualname(PyObject* value) {
  PyRef name = PyRef::steal(
      PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(value)), "__qualname__"));
  std::string text;
  if (name && PyUnicode_Check(name.get())) {
    PyRef utf8 = PyRef::steal(PyUnicode_AsUTF8String(name.get()));
    if (utf8 && bytes_to_text(utf8.get(), text)) return text;
  }
  PyErr_Clear();
  return "<failed to extract type name>";
}

bool raise_conversion_error(PyObject* value, std::string_view target) {
  raise(PyExc_TypeError, conversion_message(type_qualname(value), target));
  return false;
}

bool to_text(PyObject* value, std::string& out) {
  // 'PyString' is the module's fixed wording, relied on by callers: keep it.
  if (!PyUnicode_Check(value)) return raise_conversion_error(value, "PyString");
  PyRef utf8 = PyRef::steal(PyUnicode_AsUTF8String(value));
  if (!utf8) return fail(), false;
  return bytes_to_text(utf8.get(), out) || (fail(), false);
}

PyObject* from_text(std::string_view text) {
  PyObject* value = PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  return value != nullptr ? value : fail();
}

PyObject* text_list(const std::vector<std::string>& texts) {
  PyRef list = PyRef::steal(PyList_New(static_cast<Py_ssize_t>(texts.size())));
  if (!list) return fail();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    PyObject* text = from_text(texts[i]);
    if (text == nullptr) return nullptr;
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), text);  // steals
  }
  return list.release();
}

}  // namespace ov::py
