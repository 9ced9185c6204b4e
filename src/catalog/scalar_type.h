// YAML's core typing of scalars: what a plain "4.22", "true" or "~" stands
// for. Used for the values kept in `extra` and for naming what was found in
// invalid-type messages; text fields never convert.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/node_tree.h"

namespace ov {

struct ScalarValue {
  enum class Kind : std::uint8_t { Null, Bool, Int, Float, String };
  Kind kind = Kind::String;
  bool boolean = false;
  std::int64_t integer = 0;
  double real = 0.0;
};

inline constexpr std::string_view kNullTag = "tag:yaml.org,2002:null";
inline constexpr std::string_view kBoolTag = "tag:yaml.org,2002:bool";
inline constexpr std::string_view kIntTag = "tag:yaml.org,2002:int";
inline constexpr std::string_view kFloatTag = "tag:yaml.org,2002:float";

// Returns true iff `text` is "", "~", "null", "Null" or "NULL".
bool is_null_text(std::string_view text);

// Returns true iff `text` is one of the six boolean forms, setting `value`.
bool parse_bool_text(std::string_view text, bool& value);

// The typing of a plain, untagged scalar: null, boolean, integer (decimal,
// 0x, 0o, 0b; a leading zero before digits makes it text), finite float
// (or .inf, .nan), otherwise a string.
ScalarValue type_plain(std::string_view text);

// The typing of a scalar node: the standard null/bool/int/float tags force
// that type when the text fits it; plain scalars without a tag or with a
// local tag ("!x") are typed as plain; everything else is a string.
ScalarValue type_scalar(const Node& node);

// A plain null form that counts as absent: no tag, or the standard null tag.
bool is_absent_null(const Node& node);

// Returns true iff `node` is an empty plain scalar (a key or dash followed by nothing).
inline bool is_empty_plain(const Node& node) {
  return node.kind == NodeKind::Scalar && node.style == ScalarStyle::Plain && node.text.empty();
}

// A float as messages show it: shortest round-trip digits, never an exponent,
// always a decimal point ("4.0"); "inf", "-inf", "NaN".
std::string format_float(double value);

}  // namespace ov
