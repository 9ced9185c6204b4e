// How many probes may run at once within the process's limit on open files.
#pragma once

#include <cstddef>

namespace ov {

// Raises the soft limit on open files toward what `wanted` probes at once
// need (as far as the hard limit allows) and returns how many may run: never
// more than `wanted`, never fewer than one. Beyond the limit a probe's
// socket() fails and a reachable host would be reported unreachable.
std::size_t probes_within_descriptor_limit(std::size_t wanted);

}  // namespace ov
