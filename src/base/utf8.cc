#include "base/utf8.h"

#include <array>
#include <cstdint>
#include <optional>

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
  std::size_t at = 0;
  const auto cp = next_code_point(text, at);
  return cp && is_white_space(*cp) ? at : 0;
}

// Bytes taken by the white space code point that closes `text`, or 0.
std::size_t trailing_space(std::string_view text) {
  const auto last = static_cast<unsigned char>(text.back());
  if (last < 0x80) return is_ascii_space(last) ? 1 : 0;
  std::size_t length = 0;
  const auto cp = last_code_point(text, length);
  return cp && is_white_space(*cp) ? length : 0;
}

}  // namespace

std::optional<char32_t> next_code_point(std::string_view text, std::size_t& at) {
  const std::size_t length = sequence_length(static_cast<unsigned char>(text[at]));
  if (length == 0 || at + length > text.size()) {
    ++at;
    return std::nullopt;
  }
  const auto cp = decode(text.substr(at, length));
  at += cp ? length : 1;
  return cp;
}

long utf8_sequence_at(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  // The allowed range of the second byte narrows for the leads whose
  // sequences could otherwise be overlong, surrogates or too large.
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return -1;
  }
  std::size_t taken = 1;
  for (; taken < length && taken < size; ++taken) {
    const unsigned char byte = p[taken];
    const bool fits = taken == 1 ? byte >= low && byte <= high : is_continuation(byte);
    if (!fits) return -static_cast<long>(taken);
  }
  return taken == length ? static_cast<long>(length) : -static_cast<long>(taken);
}

std::optional<char32_t> last_code_point(std::string_view text, std::size_t& length) {
  std::size_t start = text.size() - 1;
  while (start > 0 && text.size() - start < 4 &&
         is_continuation(static_cast<unsigned char>(text[start]))) {
    --start;
  }
  const auto cp = decode(text.substr(start));
  length = cp ? text.size() - start : 0;
  return cp;
}

bool is_valid_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const long length = utf8_sequence_at(text.substr(i));
    if (length < 0) return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

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

}  // namespace ov
