// ASCII classes and case folding: names typed at a shell or a call, compared
// without case, and version texts read byte by byte.
#pragma once

#include <algorithm>
#include <string_view>

namespace ov {

constexpr bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_upper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool is_ascii_alpha(char c) { return is_ascii_upper(c) || (c >= 'a' && c <= 'z'); }

constexpr char ascii_lower(char c) {
  return is_ascii_upper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

// True iff `a` and `b` are equal once ASCII letters are folded; other bytes
// must match exactly.
constexpr bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

}  // namespace ov
