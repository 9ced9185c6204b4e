#include "python/arguments.h"

#include <string>
#include <vector>

#include "python/errors.h"
#include "python/py_ref.h"
#include "python/text.h"

namespace ov::py {
namespace {

bool raise_type_error(const std::string& text) {
  raise(PyExc_TypeError, text);
  return false;
}

// The parameter index named `keyword`, or params.size().
std::size_t param_index(const CallableSpec& callable, std::string_view keyword) {
  std::size_t i = 0;
  while (i < callable.params.size() && callable.params[i] != keyword) ++i;
  return i;
}

}  // namespace

bool bind_arguments(const CallableSpec& callable, PyObject* args, PyObject* kwargs,
                    std::span<PyObject*> out) {
  for (auto& slot : out) slot = nullptr;

  const Py_ssize_t given = args != nullptr ? PyTuple_Size(args) : 0;
  if (given < 0) return fail(), false;
  if (static_cast<std::size_t>(given) > callable.positional_count()) {
    return raise_type_error(too_many_positional_message(callable, static_cast<std::size_t>(given)));
  }
  for (Py_ssize_t i = 0; i < given; ++i)
    out[static_cast<std::size_t>(i)] = PyTuple_GetItem(args, i);

  if (kwargs != nullptr) {
    Py_ssize_t position = 0;
    PyObject* key = nullptr;
    PyObject* value = nullptr;
    while (PyDict_Next(kwargs, &position, &key, &value)) {
      std::string keyword;
      if (!to_text(key, keyword)) return false;
      const std::size_t index = param_index(callable, keyword);
      if (index == callable.params.size()) {
        return raise_type_error(unexpected_keyword_message(callable, keyword));
      }
      if (out[index] != nullptr)
        return raise_type_error(multiple_values_message(callable, keyword));
      out[index] = value;
    }
  }

  std::vector<std::string_view> missing;
  for (std::size_t i = 0; i < callable.required; ++i) {
    if (out[i] == nullptr) missing.push_back(callable.params[i]);
  }
  if (!missing.empty()) return raise_type_error(missing_arguments_message(callable, missing));
  return true;
}

void prefix_argument_error(std::string_view param) {
  fail();
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyObject* raw_type = nullptr;
  PyObject* raw_value = nullptr;
  PyObject* raw_traceback = nullptr;
  PyErr_Fetch(&raw_type, &raw_value, &raw_traceback);
  PyErr_NormalizeException(&raw_type, &raw_value, &raw_traceback);
  PyRef type = PyRef::steal(raw_type);
  PyRef value = PyRef::steal(raw_value);
  PyRef traceback = PyRef::steal(raw_traceback);
  if (type.get() != PyExc_TypeError) {
    // A subclass of TypeError passes through unchanged.
    PyErr_Restore(type.release(), value.release(), traceback.release());
    return;
  }
  std::string text;
  PyRef str = PyRef::steal(PyObject_Str(value.get()));
  if (!str || !to_text(str.get(), text)) return void(fail());
  PyRef message = PyRef::steal(from_text(argument_message(param, text)));
  if (!message) return;
  PyRef replacement =
      PyRef::steal(PyObject_CallFunctionObjArgs(PyExc_TypeError, message.get(), nullptr));
  if (!replacement) return void(fail());
  // PyException_SetCause steals the reference that GetCause returned.
  if (PyObject* cause = PyException_GetCause(value.get())) {
    PyException_SetCause(replacement.get(), cause);
  }
  PyErr_SetObject(PyExc_TypeError, replacement.get());
}

}  // namespace ov::py
