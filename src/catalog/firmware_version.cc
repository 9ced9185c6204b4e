#include "catalog/firmware_version.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>

namespace ov {
namespace {

struct CodePointRange {
  char32_t first;
  char32_t last;
};

// Unicode White_Space, in ascending order.
constexpr std::array<CodePointRange, 10> kWhiteSpace{{
    {0x0009, 0x000D},
    {0x0020, 0x0020},
    {0x0085, 0x0085},
    {0x00A0, 0x00A0},
    {0x1680, 0x1680},
    {0x2000, 0x200A},
    {0x2028, 0x2029},
    {0x202F, 0x202F},
    {0x205F, 0x205F},
    {0x3000, 0x3000},
}};

// The AOS-CX platform codes, tested in this order.
constexpr std::array<std::string_view, 7> kPlatformPrefixes{"FL", "GL", "LL", "ML",
                                                            "DL", "PL", "QL"};

constexpr std::size_t kComponentCount = 4;

bool is_white_space(char32_t cp) {
  for (const auto& range : kWhiteSpace) {
    if (cp < range.first) return false;
    if (cp <= range.last) return true;
  }
  return false;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the UTF-8 sequence that `lead` opens, or 0 for a byte that opens none.
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Decodes the sequence of exactly `bytes`, or returns nullopt when it is not
// one well-formed code point (so that stray bytes are never taken for space).
std::optional<char32_t> decode(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = sequence_length(lead);
  if (length == 0 || length != bytes.size()) return std::nullopt;
  if (length == 1) return lead;
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!is_continuation(byte)) return std::nullopt;
    cp = (cp << 6) | (byte & 0x3F);
  }
  constexpr std::array<char32_t, 5> kShortest{0, 0, 0x80, 0x800, 0x10000};
  if (cp < kShortest[length] || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

bool is_ascii_space(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

// Bytes taken by the white space code point that opens `text`, or 0.
std::size_t leading_space(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  // Firmware texts are ASCII; only a multi-byte sequence needs decoding.
  if (lead < 0x80) return is_ascii_space(lead) ? 1 : 0;
  const std::size_t length = sequence_length(lead);
  if (length == 0 || length > text.size()) return 0;
  const auto cp = decode(text.substr(0, length));
  return cp && is_white_space(*cp) ? length : 0;
}

// Bytes taken by the white space code point that closes `text`, or 0.
std::size_t trailing_space(std::string_view text) {
  const auto last = static_cast<unsigned char>(text.back());
  if (last < 0x80) return is_ascii_space(last) ? 1 : 0;
  std::size_t start = text.size() - 1;
  while (start > 0 && text.size() - start < 4 &&
         is_continuation(static_cast<unsigned char>(text[start]))) {
    --start;
  }
  const auto cp = decode(text.substr(start));
  return cp && is_white_space(*cp) ? text.size() - start : 0;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_bracket(char c) { return c == '(' || c == ')'; }

CatalogError invalid(std::string_view text) {
  return CatalogError{catalog_error::InvalidFirmware{std::string(text)}};
}

// Bracket rewriting turns "(" into "." and drops ")". It is applied to the
// raw text as it is read, so that no rewritten copy of the whole is needed.
bool is_separator(char c) { return c == '.' || c == '('; }

bool in_numeric_head(char c) { return is_digit(c) || c == '.' || is_bracket(c); }

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
    if (!is_digit(c)) return std::nullopt;
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

std::string_view trim_white_space(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = leading_space(text);
    if (n == 0) break;
    text.remove_prefix(n);
  }
  while (!text.empty()) {
    const std::size_t n = trailing_space(text);
    if (n == 0) break;
    text.remove_suffix(n);
  }
  return text;
}

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
