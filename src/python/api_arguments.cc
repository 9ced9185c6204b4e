#include "python/api_arguments.h"

#include "lookup/every_type.h"

#include "catalog/loader.h"
#include "fleet/fleet_probe.h"
#include "lookup/every_type.h"
#include "python/catalog_object.h"
#include "python/errors.h"
#include "python/py_ref.h"
#include "python/text.h"

namespace ov::py {
namespace {

// Process-wide, like the module: the Catalog type of orvane_vantrel._native
// and the compiled-in catalog once a call needed it.
PyObject* catalog_type = nullptr;
const Catalog* bundled = nullptr;

// Lists and str are mappings to the C API too; only dicts and mappings that
// are no sequence have names as keys.
bool names_mapping(PyObject* value) {
  return PyDict_Check(value) || (PyMapping_Check(value) && !PySequence_Check(value));
}

const Catalog* bundled_catalog() {
  if (bundled != nullptr) return bundled;
  auto loaded = load_bundled();
  if (!loaded) {
    raise(PyExc_ValueError, loaded.error().located_message());
    return nullptr;
  }
  bundled = new Catalog(std::move(*loaded));  // kept for the process
  return bundled;
}

bool refuse(std::string_view text) {
  raise(PyExc_ValueError, text);
  return false;
}

}  // namespace

bool init_catalog_argument() {
  if (catalog_type != nullptr) return true;
  PyRef native = PyRef::steal(PyImport_ImportModule("orvane_vantrel._native"));
  if (!native) return false;
  catalog_type = PyObject_GetAttrString(native.get(), "Catalog");  // kept for the process
  return catalog_type != nullptr;
}

bool to_catalog(PyObject* value, const Catalog*& out) {
  if (value == nullptr || value == Py_None) {
    out = bundled_catalog();
    return out != nullptr;
  }
  if (!PyObject_TypeCheck(value, reinterpret_cast<PyTypeObject*>(catalog_type))) {
    return raise_conversion_error(value, "Catalog");
  }
  out = &catalog_of(value);
  return true;
}

bool to_optional_text(PyObject* value, std::string& out, std::string_view fallback) {
  if (value == nullptr || value == Py_None) {
    out = fallback;
    return true;
  }
  return to_text(value, out);
}

bool to_flag(PyObject* value, bool& out) {
  if (value == nullptr) {
    out = false;
    return true;
  }
  if (!PyBool_Check(value)) return raise_conversion_error(value, "PyBool");
  out = value == Py_True;
  return true;
}

bool to_settings(PyObject* value, Settings& out) {
  if (value == nullptr || value == Py_None) return true;
  if (!names_mapping(value)) {
    return raise_conversion_error(value, "Mapping");
  }
  PyRef items = PyRef::steal(PyMapping_Items(value));
  if (!items) return false;
  const Py_ssize_t count = PyList_Size(items.get());
  for (Py_ssize_t i = 0; i < count; ++i) {
    PyObject* pair = PyList_GetItem(items.get(), i);  // borrowed
    std::string name;
    std::string text;
    if (!to_text(PyTuple_GetItem(pair, 0), name) || !to_text(PyTuple_GetItem(pair, 1), text)) {
      return false;
    }
    if (auto set = out.set(name, std::move(text)); !set) return raise_failure(set.error()), false;
  }
  return true;
}

bool to_text_items(PyObject* value, std::vector<std::string>& out) {
  if (PyUnicode_Check(value)) return raise_conversion_error(value, "Iterable[str]");
  PyRef iterator = PyRef::steal(PyObject_GetIter(value));
  if (!iterator) return raise_conversion_error(value, "Iterable[str]");
  while (PyRef item = PyRef::steal(PyIter_Next(iterator.get()))) {
    if (!to_text(item.get(), out.emplace_back())) return false;
  }
  return !PyErr_Occurred();
}

bool to_probe_timeout(PyObject* value, probe::Duration& out) {
  double seconds = 5.0;
  if (value != nullptr) {
    if (!PyFloat_Check(value) && !PyLong_Check(value)) return raise_conversion_error(value, "f64");
    seconds = PyFloat_AsDouble(value);
    if (seconds == -1.0 && PyErr_Occurred()) return false;
  }
  const auto timeout = probe_timeout(seconds);
  if (!timeout) return refuse("timeout_seconds: " + timeout.error().message);
  out = *timeout;
  return true;
}

bool to_jobs(PyObject* value, std::optional<std::size_t>& out) {
  if (value == nullptr || value == Py_None) return true;
  if (!PyLong_Check(value) || PyBool_Check(value)) return raise_conversion_error(value, "int");
  const long long jobs = PyLong_AsLongLong(value);
  if (jobs == -1 && PyErr_Occurred()) {
    if (!PyErr_ExceptionMatches(PyExc_OverflowError)) return false;
    PyErr_Clear();
  }
  if (auto fits = check_jobs(jobs < 0 ? 0 : static_cast<std::size_t>(jobs)); !fits) {
    return refuse("jobs: " + fits.error().message);
  }
  out = static_cast<std::size_t>(jobs);
  return true;
}

bool to_ports(PyObject* value, PortSettings& out) {
  if (value == nullptr || value == Py_None) return true;
  if (!names_mapping(value)) {
    return raise_conversion_error(value, "Mapping");
  }
  PyRef items = PyRef::steal(PyMapping_Items(value));
  if (!items) return false;
  const Py_ssize_t count = PyList_Size(items.get());
  for (Py_ssize_t i = 0; i < count; ++i) {
    PyObject* pair = PyList_GetItem(items.get(), i);  // borrowed
    std::string name;
    if (!to_text(PyTuple_GetItem(pair, 0), name)) return false;
    PyObject* port = PyTuple_GetItem(pair, 1);
    if (!PyLong_Check(port) || PyBool_Check(port)) return raise_conversion_error(port, "int");
    long long number = PyLong_AsLongLong(port);
    if (number == -1 && PyErr_Occurred()) {
      if (!PyErr_ExceptionMatches(PyExc_OverflowError)) return false;
      PyErr_Clear();
      number = 0;  // out of range, refused below
    }
    if (auto set = out.set(name, number); !set) return refuse("ports: " + set.error().message);
  }
  return true;
}

bool to_command_types(PyObject* value, std::vector<CommandType>& out) {
  std::vector<std::string> names;
  if (value != nullptr && value != Py_None && !to_text_items(value, names)) return false;
  auto types = select_command_types(names);
  if (!types) return raise_failure(types.error()), false;
  out = std::move(*types);
  return true;
}

}  // namespace ov::py
