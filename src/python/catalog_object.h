// The memory of a `Catalog` instance: the object header, then the catalog it
// owns. Both extension modules are built from these sources in one build, so
// the package's second module reads the catalogs the first one made.
#pragma once

#include "catalog/catalog.h"
#include "python/python.h"

namespace ov::py {

struct CatalogObject {
  PyObject_HEAD Catalog catalog;
};

// Requires `object` to be an instance of the module's Catalog type.
inline const Catalog& catalog_of(PyObject* object) {
  return reinterpret_cast<CatalogObject*>(object)->catalog;
}

}  // namespace ov::py
