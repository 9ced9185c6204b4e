#include "python/json_object.h"

#include <string>
#include <unordered_map>

#include "python/errors.h"
#include "python/py_ref.h"
#include "python/text.h"

namespace ov::py {
namespace {

// Document keys repeat from call to call: each is made a str once and kept,
// up to a bound, so that keys taken from vendor files cannot grow it freely.
PyObject* key_object(const std::string& key) {
  static std::unordered_map<std::string, PyObject*> known;  // the interpreter lock guards it
  constexpr std::size_t kMostKeys = 4096;
  if (const auto found = known.find(key); found != known.end()) {
    return PyRef::borrow(found->second).release();
  }
  PyObject* text = from_text(key);
  if (text == nullptr || known.size() >= kMostKeys) return text;
  PyUnicode_InternInPlace(&text);
  known.emplace(key, PyRef::borrow(text).release());  // kept for the process
  return text;
}

PyObject* list_from_json(const Json& value) {
  PyRef list = PyRef::steal(PyList_New(static_cast<Py_ssize_t>(value.size())));
  if (!list) return fail();
  Py_ssize_t i = 0;
  for (const Json& item : value) {
    PyObject* object = from_json(item);
    if (object == nullptr) return nullptr;
    PyList_SetItem(list.get(), i++, object);  // steals
  }
  return list.release();
}

PyObject* dict_from_json(const Json& value) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return fail();
  for (const auto& [key, item] : value.items()) {
    PyRef name = PyRef::steal(key_object(key));
    PyRef object = PyRef::steal(from_json(item));
    if (!name || !object || PyDict_SetItem(dict.get(), name.get(), object.get()) != 0) {
      return fail();
    }
  }
  return dict.release();
}

}  // namespace

PyObject* from_json(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
    case Json::value_t::discarded:
      return PyRef::borrow(Py_None).release();
    case Json::value_t::boolean:
      return PyRef::borrow(value.get<bool>() ? Py_True : Py_False).release();
    case Json::value_t::number_integer: {
      PyObject* number = PyLong_FromLongLong(value.get<long long>());
      return number != nullptr ? number : fail();
    }
    case Json::value_t::number_unsigned: {
      PyObject* number = PyLong_FromUnsignedLongLong(value.get<unsigned long long>());
      return number != nullptr ? number : fail();
    }
    case Json::value_t::number_float: {
      PyObject* number = PyFloat_FromDouble(value.get<double>());
      return number != nullptr ? number : fail();
    }
    case Json::value_t::string:
      return from_text(value.get_ref<const std::string&>());
    case Json::value_t::array:
      return list_from_json(value);
    case Json::value_t::object:
      return dict_from_json(value);
    case Json::value_t::binary:
      break;
  }
  return raise_panic("a document holds a value that has no Python form");
}

}  // namespace ov::py
