// The package's functions over a catalog: lookup, show, table, vendors,
// matrix, schema and check, each giving the document of the tool's --json.
#pragma once

#include <span>

#include "python/python.h"

namespace ov::py {

// The method table entries, for the module to add.
std::span<PyMethodDef> catalog_function_defs();

}  // namespace ov::py
