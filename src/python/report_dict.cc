#include "python/report_dict.h"

#include <optional>
#include <string>
#include <vector>

#include "python/errors.h"
#include "python/py_ref.h"
#include "python/text.h"

namespace ov::py {
namespace {

PyObject* value_object(const std::string& text) { return from_text(text); }

PyObject* value_object(const std::optional<bool>& flag) {
  PyObject* value = !flag ? Py_None : *flag ? Py_True : Py_False;
  return PyRef::borrow(value).release();
}

PyObject* value_object(const std::optional<std::string>& text) {
  return text ? from_text(*text) : PyRef::borrow(Py_None).release();
}

PyObject* value_object(const std::vector<std::string>& lines) { return text_list(lines); }

PyObject* value_object(unsigned __int128 value) {
  PyRef low = PyRef::steal(PyLong_FromUnsignedLongLong(static_cast<unsigned long long>(value)));
  const auto high_part = static_cast<unsigned long long>(value >> 64);
  if (!low || high_part == 0) return low ? low.release() : fail();
  PyRef high = PyRef::steal(PyLong_FromUnsignedLongLong(high_part));
  PyRef shift = PyRef::steal(PyLong_FromLong(64));
  if (!high || !shift) return fail();
  PyRef shifted = PyRef::steal(PyNumber_Lshift(high.get(), shift.get()));
  if (!shifted) return fail();
  PyObject* sum = PyNumber_Add(shifted.get(), low.get());
  return sum != nullptr ? sum : fail();
}

}  // namespace

PyObject* report_dict(const probe::ProbeReport& report) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return fail();
  const bool built = probe::visit_report(report, [&](const char* key, const auto& value) {
    PyRef owned = PyRef::steal(value_object(value));
    if (!owned) return false;
    PyRef name = PyRef::steal(PyUnicode_FromString(key));
    return name && PyDict_SetItem(dict.get(), name.get(), owned.get()) == 0;
  });
  return built ? dict.release() : fail();
}

}  // namespace ov::py
