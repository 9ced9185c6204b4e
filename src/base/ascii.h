// ASCII case folding: names typed at a shell or a call, compared without case.
#pragma once

#include <algorithm>
#include <string_view>

namespace ov {

constexpr char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True iff `a` and `b` are equal once ASCII letters are folded; other bytes
// must match exactly.
constexpr bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

}  // namespace ov
