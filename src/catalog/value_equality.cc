#include "catalog/value_equality.h"

#include <cmath>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace ov {
namespace {

std::size_t mix(std::size_t seed, std::size_t value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

// The value of the entry of `b` whose key equals `key`, or nullptr. Large
// mappings are searched through `index` (key hash to key position), as two
// big mapping keys compared pair by pair would take quadratic time.
const YamlValue* value_of(const YamlValue& b, const YamlValue& key,
                          const std::unordered_multimap<std::size_t, std::size_t>* index) {
  if (index == nullptr) {
    for (std::size_t j = 0; j < b.items.size(); j += 2) {
      if (values_equal(key, b.items[j])) return &b.items[j + 1];
    }
    return nullptr;
  }
  const auto [first, last] = index->equal_range(hash_value(key));
  for (auto it = first; it != last; ++it) {
    if (values_equal(key, b.items[it->second])) return &b.items[it->second + 1];
  }
  return nullptr;
}

// Returns true iff every entry of `a` has an equal entry in `b`. The keys of
// a mapping are unique, so each key of `a` has at most one partner.
bool mappings_equal(const YamlValue& a, const YamlValue& b) {
  if (a.items.size() != b.items.size()) return false;
  std::unordered_multimap<std::size_t, std::size_t> index;
  const bool hashed = a.items.size() / 2 > kLinearSearchLimit;
  if (hashed) {
    index.reserve(b.items.size() / 2);
    for (std::size_t j = 0; j < b.items.size(); j += 2) index.emplace(hash_value(b.items[j]), j);
  }
  for (std::size_t i = 0; i < a.items.size(); i += 2) {
    const YamlValue* partner = value_of(b, a.items[i], hashed ? &index : nullptr);
    if (partner == nullptr || !values_equal(a.items[i + 1], *partner)) return false;
  }
  return true;
}

}  // namespace

bool values_equal(const YamlValue& a, const YamlValue& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case YamlValue::Kind::Null:
      return true;
    case YamlValue::Kind::Bool:
      return a.boolean == b.boolean;
    case YamlValue::Kind::Int:
      return a.integer == b.integer;
    case YamlValue::Kind::Float:
      return a.real == b.real || (std::isnan(a.real) && std::isnan(b.real));
    case YamlValue::Kind::String:
      return a.text == b.text;
    case YamlValue::Kind::Mapping:
      return mappings_equal(a, b);
    case YamlValue::Kind::Sequence:
    case YamlValue::Kind::Tagged:
      break;
  }
  if (a.text != b.text || a.items.size() != b.items.size()) return false;
  for (std::size_t i = 0; i < a.items.size(); ++i) {
    if (!values_equal(a.items[i], b.items[i])) return false;
  }
  return true;
}

std::size_t hash_value(const YamlValue& value) {
  std::size_t seed = static_cast<std::size_t>(value.kind);
  switch (value.kind) {
    case YamlValue::Kind::Null:
      return seed;
    case YamlValue::Kind::Bool:
      return mix(seed, value.boolean);
    case YamlValue::Kind::Int:
      return mix(seed, std::hash<std::int64_t>{}(value.integer));
    case YamlValue::Kind::Float:
      return std::isnan(value.real) ? mix(seed, 1) : mix(seed, std::hash<double>{}(value.real));
    case YamlValue::Kind::String:
      return mix(seed, std::hash<std::string_view>{}(value.text));
    case YamlValue::Kind::Mapping: {
      // Order-blind, as equality is: entries are summed.
      std::size_t sum = 0;
      for (std::size_t i = 0; i + 1 < value.items.size(); i += 2) {
        sum += mix(hash_value(value.items[i]), hash_value(value.items[i + 1]));
      }
      return mix(seed, sum);
    }
    case YamlValue::Kind::Sequence:
    case YamlValue::Kind::Tagged:
      break;
  }
  seed = mix(seed, std::hash<std::string_view>{}(value.text));
  for (const YamlValue& item : value.items) seed = mix(seed, hash_value(item));
  return seed;
}

}  // namespace ov
