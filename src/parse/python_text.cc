#include "parse/python_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ov::parse {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// str.isspace(), in ascending order.
constexpr std::array<Range, 11> kPythonSpace{{
    {0x09, 0x0D},
    {0x1C, 0x20},
    {0x85, 0x85},
    {0xA0, 0xA0},
    {0x1680, 0x1680},
    {0x2000, 0x200A},
    {0x2028, 0x2029},
    {0x202F, 0x202F},
    {0x205F, 0x205F},
    {0x3000, 0x3000},
    {0x110000, 0x110000},  // sentinel
}};

// Length of the line break at the start of `text`, or 0.
std::size_t break_at(std::string_view text) {
  switch (static_cast<unsigned char>(text[0])) {
    case '\n':
    case 0x0B:
    case 0x0C:
    case 0x1C:
    case 0x1D:
    case 0x1E: return 1;
    case '\r': return text.size() > 1 && text[1] == '\n' ? 2 : 1;
    case 0xC2: return text.size() > 1 && static_cast<unsigned char>(text[1]) == 0x85 ? 2 : 0;
    case 0xE2:
      return text.size() > 2 && static_cast<unsigned char>(text[1]) == 0x80 &&
                     (static_cast<unsigned char>(text[2]) == 0xA8 ||
                      static_cast<unsigned char>(text[2]) == 0xA9)
                 ? 3
                 : 0;
    default: return 0;
  }
}

// Bytes at the start of `text` that are printable ASCII, eight at a time:
// none of them can be or begin a line break.
std::size_t plain_run(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen at a time where the machine has them: as signed bytes, those
  // below 0x20 and those from 0x80 up are alike below 0x20.
  const __m128i space = _mm_set1_epi8(0x20);
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (const int stops = _mm_movemask_epi8(_mm_cmplt_epi8(bytes, space)))
      return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(stops)));
  }
#endif
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    // A byte below 0x20 or from 0x80 up stops the run. A borrow can mark
    // bytes after the first such byte only, so the lowest mark is exact.
    if (const std::uint64_t stops = ((word - kOnes * 0x20) | word) & kHighs) {
      if constexpr (std::endian::native == std::endian::little) return i + std::countr_zero(stops) / 8;
      break;
    }
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x20 &&
         static_cast<unsigned char>(text[i]) < 0x80)
    ++i;
  return i;
}

}  // namespace

// Eight bytes at a time.
bool is_ascii(std::string_view text) {
  std::size_t i = 0;
  std::uint64_t any = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    any |= word;
  }
  for (; i < text.size(); ++i) any |= static_cast<unsigned char>(text[i]);
  return (any & 0x8080808080808080) == 0;
}

namespace {

std::size_t leading_python_space(std::string_view text) {
  std::size_t at = 0;
  const auto cp = next_code_point(text, at);
  return cp && is_python_space(*cp) ? at : 0;
}

}  // namespace

bool is_python_space(char32_t cp) {
  for (const Range& range : kPythonSpace) {
    if (cp < range.first) return false;
    if (cp <= range.last) return true;
  }
  return false;
}

std::size_t trailing_python_space(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t length = 0;
  const auto cp = last_code_point(text, length);
  return cp && is_python_space(*cp) ? length : 0;
}

std::string_view python_rstrip(std::string_view text) {
  while (const std::size_t n = trailing_python_space(text)) text.remove_suffix(n);
  return text;
}

std::string_view python_lstrip(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = leading_python_space(text);
    if (n == 0) break;
    text.remove_prefix(n);
  }
  return text;
}

std::string_view python_strip(std::string_view text) { return python_rstrip(python_lstrip(text)); }

std::optional<std::string> repaired_utf8(std::string_view text) {
  if (is_ascii(text) || is_valid_utf8(text)) return std::nullopt;
  std::string out;
  out.reserve(text.size() + 16);
  while (!text.empty()) {
    const long length = utf8_sequence_at(text);
    if (length > 0) {
      out.append(text.substr(0, static_cast<std::size_t>(length)));
      text.remove_prefix(static_cast<std::size_t>(length));
    } else {
      out += "\xEF\xBF\xBD";
      text.remove_prefix(static_cast<std::size_t>(-length));
    }
  }
  return out;
}

std::optional<std::string_view> next_python_line(std::string_view& rest) {
  if (rest.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rest.size();) {
    i += plain_run(rest.substr(i));
    if (i >= rest.size()) break;
    const std::size_t n = break_at(rest.substr(i));
    if (n == 0) {
      ++i;
      continue;
    }
    const std::string_view line = rest.substr(0, i);
    rest.remove_prefix(i + n);
    return line;
  }
  const std::string_view line = rest;
  rest = {};
  return line;
}

std::vector<std::string_view> file_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '\n' && text[i] != '\r') {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace ov::parse
