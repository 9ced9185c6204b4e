// The wording of every reading-rule rejection, each family built in one place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/node_tree.h"
#include "catalog/yaml_value.h"

namespace ov {

inline constexpr std::string_view kMoreThanOneDocument =
    "deserializing from YAML containing more than one document is not supported";
inline constexpr std::string_view kRepetitionLimit = "repetition limit exceeded";
inline constexpr std::string_view kRecursionLimit = "recursion limit exceeded";

// What a reading rule wanted where an invalid type was found. A record's
// wanted text is its own ("struct Source").
enum class Wanted : std::uint8_t { String, Sequence, Boolean, FieldIdentifier, VariantIdentifier };

std::string_view wanted_text(Wanted wanted);

// How a node is named as what was found: "unit value", "boolean `true`",
// "integer `5`", "floating point `4.5`", "string \"x\"", "sequence", "map".
std::string found_text(const Node& node);

// "invalid type: " + found + ", expected " + wanted.
std::string invalid_type_message(const Node& found, std::string_view wanted);

// "missing field `key`" and "duplicate field `key`".
std::string missing_field_message(std::string_view key);
std::string duplicate_field_message(std::string_view key);

// "duplicate entry with key ..." for a repeated key of a mapping kept in `extra`.
std::string duplicate_entry_message(const YamlValue& key);

}  // namespace ov
