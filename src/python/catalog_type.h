// The Python `Catalog` class: a read-only handle on one loaded catalog.
#pragma once

#include "python/python.h"

namespace ov::py {

// The `Catalog` type object (borrowed), created on first use and kept for the
// process; nullptr with an exception pending if creation failed.
PyObject* catalog_type();

}  // namespace ov::py
