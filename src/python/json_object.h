// A document of the rooms below as Python objects: objects as dicts in their
// key order, arrays as lists, numbers as int or float, null as None.
#pragma once

#include "base/json.h"
#include "python/python.h"

namespace ov::py {

// A new reference, or nullptr with an exception set.
PyObject* from_json(const Json& value);

}  // namespace ov::py
