#include "catalog/scalar_type.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace ov {
namespace {

constexpr std::string_view kNullForms[] = {"", "~", "null", "Null", "NULL"};
constexpr std::string_view kTrueForms[] = {"true", "True", "TRUE"};
constexpr std::string_view kFalseForms[] = {"false", "False", "FALSE"};
constexpr std::string_view kInfinities[] = {".inf", ".Inf", ".INF"};
constexpr std::string_view kNans[] = {".nan", ".NaN", ".NAN"};

template <std::size_t N>
bool one_of(std::string_view text, const std::string_view (&forms)[N]) {
  for (std::string_view form : forms) {
    if (text == form) return true;
  }
  return false;
}

bool starts_with_sign(std::string_view text) {
  return !text.empty() && (text.front() == '+' || text.front() == '-');
}

// A leading zero followed by more digits is text, not an octal or decimal number.
bool digits_with_leading_zero(std::string_view text) {
  if (starts_with_sign(text)) text.remove_prefix(1);
  if (text.size() < 2 || text.front() != '0') return false;
  for (char c : text.substr(1)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::optional<std::int64_t> parse_integer(std::string_view text) {
  if (digits_with_leading_zero(text)) return std::nullopt;
  const bool negative = !text.empty() && text.front() == '-';
  if (starts_with_sign(text)) text.remove_prefix(1);
  struct Prefix {
    std::string_view text;
    int base;
  };
  constexpr Prefix kPrefixes[] = {{"0x", 16}, {"0o", 8}, {"0b", 2}};
  int base = 10;
  for (const Prefix& prefix : kPrefixes) {
    if (text.starts_with(prefix.text)) {
      text.remove_prefix(prefix.text.size());
      base = prefix.base;
      break;
    }
  }
  if (text.empty() || starts_with_sign(text)) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (!negative) {
    if (magnitude > kMax) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
  }
  if (magnitude > kMax + 1) return std::nullopt;
  return static_cast<std::int64_t>(0 - magnitude);
}

std::optional<double> parse_float(std::string_view text) {
  std::string_view unsigned_text = text;
  if (!text.empty() && text.front() == '+') {
    unsigned_text.remove_prefix(1);
    if (starts_with_sign(unsigned_text)) return std::nullopt;
  }
  if (one_of(unsigned_text, kInfinities)) return std::numeric_limits<double>::infinity();
  if (text.starts_with('-') && one_of(text.substr(1), kInfinities)) {
    return -std::numeric_limits<double>::infinity();
  }
  if (one_of(text, kNans)) return std::numeric_limits<double>::quiet_NaN();
  if (unsigned_text.empty()) return std::nullopt;
  double value = 0;
  const char* last = unsigned_text.data() + unsigned_text.size();
  const auto [end, error] = std::from_chars(unsigned_text.data(), last, value);
  if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

ScalarValue string_value() { return ScalarValue{}; }

}  // namespace

bool is_null_text(std::string_view text) { return one_of(text, kNullForms); }

bool parse_bool_text(std::string_view text, bool& value) {
  if (one_of(text, kTrueForms)) {
    value = true;
    return true;
  }
  if (one_of(text, kFalseForms)) {
    value = false;
    return true;
  }
  return false;
}

ScalarValue type_plain(std::string_view text) {
  ScalarValue value;
  if (is_null_text(text)) {
    value.kind = ScalarValue::Kind::Null;
  } else if (parse_bool_text(text, value.boolean)) {
    value.kind = ScalarValue::Kind::Bool;
  } else if (const auto integer = parse_integer(text)) {
    value.kind = ScalarValue::Kind::Int;
    value.integer = *integer;
  } else if (const auto real = digits_with_leading_zero(text) ? std::nullopt : parse_float(text)) {
    value.kind = ScalarValue::Kind::Float;
    value.real = *real;
  }
  return value;
}

ScalarValue type_scalar(const Node& node) {
  ScalarValue value;
  if (node.tag == kNullTag) {
    if (!is_null_text(node.text)) return string_value();
    value.kind = ScalarValue::Kind::Null;
  } else if (node.tag == kBoolTag) {
    if (!parse_bool_text(node.text, value.boolean)) return string_value();
    value.kind = ScalarValue::Kind::Bool;
  } else if (node.tag == kIntTag) {
    const auto integer = parse_integer(node.text);
    if (!integer) return string_value();
    value.kind = ScalarValue::Kind::Int;
    value.integer = *integer;
  } else if (node.tag == kFloatTag) {
    const auto real = parse_float(node.text);
    if (!real) return string_value();
    value.kind = ScalarValue::Kind::Float;
    value.real = *real;
  } else if (node.style == ScalarStyle::Plain && (node.tag.empty() || node.tag.front() == '!')) {
    return type_plain(node.text);
  }
  return value;
}

bool is_absent_null(const Node& node) {
  return node.kind == NodeKind::Scalar && node.style == ScalarStyle::Plain &&
         (node.tag.empty() || node.tag == kNullTag) && is_null_text(node.text);
}

std::string format_float(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[512];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string out(buffer, error == std::errc() ? end : buffer);
  if (out.find('.') == std::string::npos) out += ".0";
  return out;
}

}  // namespace ov
