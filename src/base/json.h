// The documents both front ends give: the tool prints them as JSON, the
// package hands them to Python as dicts and lists. Built from typed results,
// never read back.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>

namespace ov {

using Json = nlohmann::ordered_json;

// The value, or null when it is absent.
template <class T>
Json optional_json(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

}  // namespace ov
