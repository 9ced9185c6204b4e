// The module entry point: one module per process, owned by the first
// interpreter that imports it.
#include <atomic>
#include <cstdint>

#include "base/version.h"
#include "python/catalog_type.h"
#include "python/errors.h"
#include "python/probe_device.h"
#include "python/py_ref.h"
#include "python/python.h"

namespace ov::py {

const char* const kPanicTypeName = "orvane_vantrel._native.PanicException";

namespace {

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "_native",
    "Module entry point \xE2\x80\x94 `import orvane_vantrel._native`.",
    0,        // no per-module state
    nullptr,  // no method table: the function is added as an object
    nullptr,  // single-phase initialisation, no slots
    nullptr,
    nullptr,
    nullptr,
};

// Process-wide state, touched only with the interpreter lock held, except the
// owner, which is claimed atomically before anything else.
std::atomic<std::int64_t> owning_interpreter{-1};
PyObject* cached_module = nullptr;

// Appends `name` to the module's __all__ (creating the list on first use),
// then sets the attribute. Returns false with the exception pending.
bool register_name(PyObject* module, const char* name, PyObject* value) {
  PyRef all = PyRef::steal(PyObject_GetAttrString(module, "__all__"));
  if (!all) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return false;
    PyErr_Clear();
    all = PyRef::steal(PyList_New(0));
    if (!all || PyObject_SetAttrString(module, "__all__", all.get()) != 0) return false;
  }
  PyRef key = PyRef::steal(PyUnicode_FromString(name));
  if (!key || PyList_Append(all.get(), key.get()) != 0) return false;
  return PyObject_SetAttrString(module, name, value) == 0;
}

bool register_catalog(PyObject* module) {
  PyObject* type = catalog_type();
  return type != nullptr && register_name(module, "Catalog", type);
}

// Bound to the module, like the functions of a method table, with the
// module's dotted name as its __module__.
bool register_probe_device(PyObject* module) {
  PyRef module_name = PyRef::steal(PyModule_GetNameObject(module));
  if (!module_name) return false;
  PyMethodDef* def = probe_device_def();
  PyRef function = PyRef::steal(PyCMethod_New(def, module, module_name.get(), nullptr));
  return function && register_name(module, def->ml_name, function.get());
}

bool register_version(PyObject* module) {
  PyRef version = PyRef::steal(PyUnicode_FromString(kVersion));
  return version && register_name(module, "__version__", version.get());
}

// Run in order (it is the order of __all__); the first failing step ends the
// sequence.
constexpr bool (*kRegistration[])(PyObject*) = {register_catalog, register_probe_device,
                                                register_version};

PyObject* init_module() {
  const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
  if (id == -1) return fail();
  std::int64_t expected = -1;
  if (!owning_interpreter.compare_exchange_strong(expected, id) && expected != id) {
    PyErr_SetString(PyExc_ImportError,
                    "native modules of this kind do not yet support subinterpreters; "
                    "orvane_vantrel._native can only be imported once per process, in the "
                    "interpreter that imported it first");
    return nullptr;
  }
  if (cached_module != nullptr) return PyRef::borrow(cached_module).release();

  PyRef module = PyRef::steal(PyModule_Create2(&module_def, 3));
  if (!module) return fail();
  for (auto step : kRegistration) {
    if (!step(module.get())) return fail();
  }
  cached_module = PyRef::borrow(module.get()).release();
  return module.release();
}

}  // namespace
}  // namespace ov::py

PyMODINIT_FUNC PyInit__native(void) {
  return ov::py::guarded([] { return ov::py::init_module(); });
}
