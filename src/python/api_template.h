// The class Template of the package: a TextFSM template compiled once,
// applied to any number of outputs, its records as python3-textfsm's
// ParseTextToDicts gives them.
#pragma once

#include "python/python.h"

namespace ov::py {

// The type object, created on first use and kept; nullptr with an exception set.
PyObject* template_type();

}  // namespace ov::py
