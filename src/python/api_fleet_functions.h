// The package's functions over a fleet: expand_targets, probe_many and plan,
// the last two giving an iterator of one dict per host, in host order.
#pragma once

#include <span>

#include "python/python.h"

namespace ov::py {

// Creates the iterator type; called once by the module's entry.
bool init_fleet_functions();

std::span<PyMethodDef> fleet_function_defs();

}  // namespace ov::py
