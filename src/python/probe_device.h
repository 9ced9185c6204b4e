// The module-level `probe_device` function.
#pragma once

#include "python/python.h"

namespace ov::py {

// The method definition from which the module builds its `probe_device`
// function object.
PyMethodDef* probe_device_def();

}  // namespace ov::py
