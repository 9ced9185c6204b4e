// The entry point of orvane_vantrel._api, the package's functions beside the
// module orvane_vantrel._native: one module per process, like it.
#include <vector>

#include "python/api_arguments.h"
#include "python/api_catalog_functions.h"
#include "python/api_fleet_functions.h"
#include "python/api_template.h"
#include "python/errors.h"
#include "python/py_ref.h"
#include "python/python.h"

namespace ov::py {

const char* const kPanicTypeName = "orvane_vantrel._api.PanicException";

namespace {

// The method table: the catalog's functions, then the fleet's, then the end.
std::vector<PyMethodDef>& method_table() {
  static std::vector<PyMethodDef> table = [] {
    std::vector<PyMethodDef> methods;
    for (const PyMethodDef& def : catalog_function_defs()) methods.push_back(def);
    for (const PyMethodDef& def : fleet_function_defs()) methods.push_back(def);
    methods.push_back({nullptr, nullptr, 0, nullptr});
    return methods;
  }();
  return table;
}

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "_api",
    "The package's functions: lookups, tables, reports and fleet probes, as vantrel gives them.",
    0,
    nullptr,  // set at init, from the method table
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

PyObject* cached_module = nullptr;

PyObject* init_module() {
  if (cached_module != nullptr) return PyRef::borrow(cached_module).release();
  if (!init_catalog_argument() || !init_fleet_functions()) return fail();
  module_def.m_methods = method_table().data();
  PyRef module = PyRef::steal(PyModule_Create2(&module_def, 3));
  if (!module) return fail();
  PyObject* template_class = template_type();
  if (template_class == nullptr ||
      PyObject_SetAttrString(module.get(), "Template", template_class) != 0) {
    return fail();
  }
  cached_module = PyRef::borrow(module.get()).release();
  return module.release();
}

}  // namespace
}  // namespace ov::py

PyMODINIT_FUNC PyInit__api(void) {
  return ov::py::guarded([] { return ov::py::init_module(); });
}
