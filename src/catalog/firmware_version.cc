#include "catalog/firmware_version.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>

#include "base/ascii.h"
#include "base/utf8.h"

namespace ov {
namespace {

// The AOS-CX platform codes, tested in this order.
constexpr std::array<std::string_view, 7> kPlatformPrefixes{"FL", "GL", "LL", "ML",
                                                            "DL", "PL", "QL"};

constexpr std::size_t kComponentCount = 4;

bool is_bracket(char c) { return c == '(' || c == ')'; }

CatalogError invalid(std::string_view text) {
  return CatalogError{catalog_error::InvalidFirmware{std::string(text)}};
}

// Bracket rewriting turns "(" into "." and drops ")". It is applied to the
// raw text as it is read, so that no rewritten copy of the whole is needed.
bool is_separator(char c) { return c == '.' || c == '('; }

bool in_numeric_head(char c) { return is_ascii_digit(c) || c == '.' || is_bracket(c); }

std::string rewrite_brackets(std::string_view text) {
  if (std::ranges::none_of(text, is_bracket)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '(') {
      out += '.';
    } else if (c != ')') {
      out += c;
    }
  }
  return out;
}

// Reads a whole non-empty run of ASCII digits as an unsigned 32-bit value.
std::optional<std::uint32_t> parse_digits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (!is_ascii_digit(c)) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// One component between separators: digits and the ")" that rewriting drops,
// usually at its end as in "9.3(5)".
std::optional<std::uint32_t> parse_component(std::string_view piece) {
  while (piece.starts_with(')')) piece.remove_prefix(1);
  while (piece.ends_with(')')) piece.remove_suffix(1);
  if (piece.find(')') != std::string_view::npos) return parse_digits(rewrite_brackets(piece));
  return parse_digits(piece);
}

}  // namespace

std::expected<FirmwareVersion, CatalogError> FirmwareVersion::parse(std::string_view text) {
  std::string_view rest = trim_white_space(text);
  if (rest.empty()) return std::unexpected(invalid(text));

  FirmwareVersion version;
  if (rest.size() >= 3 && rest[2] == '.') {
    for (const auto prefix : kPlatformPrefixes) {
      if (rest[0] == prefix[0] && rest[1] == prefix[1]) {
        version.platform_prefix.emplace(prefix);
        rest.remove_prefix(3);
        break;
      }
    }
  }

  std::string_view head(rest.begin(), std::ranges::find_if_not(rest, in_numeric_head));
  if (head.size() < rest.size()) {
    version.suffix = rewrite_brackets(rest.substr(head.size()));
    // The rewritten head loses its trailing dots; in raw form that is every
    // trailing ".", "(" and ")".
    while (!head.empty() && (head.back() == '.' || is_bracket(head.back()))) head.remove_suffix(1);
  }

  // An empty piece among the first four (the first included: an empty head or
  // one that opens with a dot) fails; later pieces are never read.
  const std::array<std::uint32_t*, kComponentCount> components{&version.major, &version.minor,
                                                               &version.patch, &version.build};
  for (std::uint32_t* component : components) {
    const auto separator = std::ranges::find_if(head, is_separator);
    const auto value = parse_component(std::string_view(head.begin(), separator));
    if (!value) return std::unexpected(invalid(text));
    *component = *value;
    if (separator == head.end()) break;
    head = std::string_view(separator + 1, head.end());
  }
  return version;
}

std::strong_ordering FirmwareVersion::compare(const FirmwareVersion& other) const {
  return std::tie(major, minor, patch, build) <=>
         std::tie(other.major, other.minor, other.patch, other.build);
}

}  // namespace ov
