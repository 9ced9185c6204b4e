#include "python/catalog_type.h"

#include <array>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "catalog/catalog.h"
#include "catalog/loader.h"
#include "catalog/lookup.h"
#include "python/arguments.h"
#include "python/catalog_object.h"
#include "python/errors.h"
#include "python/py_ref.h"
#include "python/text.h"

namespace ov::py {
namespace {

PyObject* type_object = nullptr;

PyObject* raise_catalog_error(const CatalogError& error) {
  return raise(PyExc_ValueError, error.message());
}

// Moves `catalog` into a new instance.
PyObject* wrap(Catalog catalog) {
  PyObject* type_ptr = catalog_type();
  if (type_ptr == nullptr) return nullptr;
  auto* type = reinterpret_cast<PyTypeObject*>(type_ptr);
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  if (alloc == nullptr) alloc = PyType_GenericAlloc;
  PyObject* self = alloc(type, 0);
  if (self == nullptr) {
    PyErr_Clear();
    return raise_panic("failed to allocate a Catalog object");
  }
  new (&reinterpret_cast<CatalogObject*>(self)->catalog) Catalog(std::move(catalog));
  return self;
}

// The receiver of an instance method, or nullptr with TypeError pending.
const Catalog* receiver(PyObject* self) {
  if (self == nullptr || !PyObject_TypeCheck(self, reinterpret_cast<PyTypeObject*>(type_object))) {
    raise_conversion_error(self != nullptr ? self : Py_None, "Catalog");
    return nullptr;
  }
  return &reinterpret_cast<CatalogObject*>(self)->catalog;
}

PyObject* load_bundled(PyObject*, PyObject*) {
  return guarded([]() -> PyObject* {
    auto catalog = ov::load_bundled();
    if (!catalog) return raise_catalog_error(catalog.error());
    return wrap(std::move(*catalog));
  });
}

constexpr std::array<std::string_view, 1> kLoadDirParams{"path"};
constexpr CallableSpec kLoadDirSpec{"Catalog", "load_dir", kLoadDirParams, 1};

PyObject* load_dir(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kLoadDirParams.size()> bound{};
    if (!bind_arguments(kLoadDirSpec, args, kwargs, bound)) return nullptr;
    std::string path;
    if (!convert_argument("path", [&] { return to_text(bound[0], path); })) return nullptr;
    auto catalog = ov::load_dir(path);
    if (!catalog) return raise_catalog_error(catalog.error());
    return wrap(std::move(*catalog));
  });
}

PyObject* vendors(PyObject* self, PyObject*) {
  return guarded([&]() -> PyObject* {
    const Catalog* catalog = receiver(self);
    if (catalog == nullptr) return nullptr;
    const auto& files = catalog->files();
    PyRef list = PyRef::steal(PyList_New(static_cast<Py_ssize_t>(files.size())));
    if (!list) return fail();
    for (std::size_t i = 0; i < files.size(); ++i) {
      PyObject* vendor = from_text(files[i].vendor);
      if (vendor == nullptr) return nullptr;
      PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), vendor);  // steals
    }
    return list.release();
  });
}

constexpr std::array<std::string_view, 3> kCliParams{"vendor", "firmware", "command"};
constexpr CallableSpec kCliSpec{"Catalog", "cli", kCliParams, 3};

PyObject* cli(PyObject* self, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kCliParams.size()> bound{};
    if (!bind_arguments(kCliSpec, args, kwargs, bound)) return nullptr;
    std::array<std::string, kCliParams.size()> text;
    for (std::size_t i = 0; i < kCliParams.size(); ++i) {
      if (!convert_argument(kCliParams[i], [&] { return to_text(bound[i], text[i]); })) {
        return nullptr;
      }
    }
    const auto& [vendor, firmware, command_text] = text;
    const Catalog* catalog = receiver(self);
    if (catalog == nullptr) return nullptr;

    const auto command = find_command_type(command_text);
    if (!command) return raise(PyExc_ValueError, unknown_command_name_message(command_text));
    const LookupOutcome outcome = classify_lookup(*catalog, vendor, firmware, *command);
    switch (outcome.status) {
      case LookupStatus::Text:
        return from_text(outcome.entry->cli);
      case LookupStatus::NoBlock:
        return raise(PyExc_KeyError, outcome.reason);
      default:
        return raise(PyExc_ValueError, outcome.reason);  // every CatalogError
    }
  });
}

PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*) {
  PyErr_SetString(PyExc_TypeError, "No constructor defined");
  return nullptr;
}

void dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  reinterpret_cast<CatalogObject*>(self)->catalog.~Catalog();
  auto free_slot = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_slot(self);
  // Every instance holds a reference to its heap type.
  Py_DECREF(type);
}

PyMethodDef methods[] = {
    {"load_bundled", load_bundled, METH_STATIC | METH_NOARGS,
     "load_bundled()\n--\n\nLoad the bundled catalog files."},
    {"load_dir", as_c_function(load_dir),
     METH_STATIC | METH_VARARGS | METH_KEYWORDS,
     "load_dir(path)\n--\n\nLoad every `*.yaml` file in `path`."},
    {"vendors", vendors, METH_NOARGS, "vendors($self)\n--\n\nAll vendor identifiers."},
    {"cli", as_c_function(cli),
     METH_VARARGS | METH_KEYWORDS,
     "cli($self, vendor, firmware, command)\n--\n\nLook up `(vendor, firmware, command)`. "
     "Returns the CLI string or\nraises ValueError if the entry is missing / NOT_SUPPORTED."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyObject* catalog_type() {
  if (type_object != nullptr) return type_object;
  PyType_Slot slots[] = {
      {Py_tp_base, &PyBaseObject_Type},
      {Py_tp_dealloc, reinterpret_cast<void*>(dealloc)},
      {Py_tp_doc, const_cast<char*>("Python-facing catalog handle.")},
      {Py_tp_methods, methods},
      {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
      {0, nullptr},
  };
  PyType_Spec type_spec = {
      "orvane_vantrel._native.Catalog",
      static_cast<int>(sizeof(CatalogObject)),
      0,
      Py_TPFLAGS_DEFAULT,
      slots,
  };
  type_object = PyType_FromSpec(&type_spec);
  return type_object != nullptr ? type_object : fail();
}

}  // namespace ov::py
