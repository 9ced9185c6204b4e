// Equality and hashing of generic values, for finding repeated mapping keys.
#pragma once

#include <cstddef>

#include "catalog/yaml_value.h"

namespace ov {

// Above this many entries, keys of a mapping are found through a hash index
// rather than by comparing them one by one.
inline constexpr std::size_t kLinearSearchLimit = 16;

// Returns true iff `a` and `b` are the same value: same kind and content
// (NaN equals NaN; mappings equal regardless of entry order).
bool values_equal(const YamlValue& a, const YamlValue& b);

// A hash consistent with values_equal.
std::size_t hash_value(const YamlValue& value);

}  // namespace ov
