// Strict UTF-8 validation, and trimming of Unicode white space.
#pragma once

#include <optional>
#include <string_view>

namespace ov {

// Returns true iff `text` is well-formed UTF-8: no overlong forms, no
// surrogates, nothing above U+10FFFF, no truncated sequences.
bool is_valid_utf8(std::string_view text);

// The length of the well-formed sequence that opens `text`, or, negated, the
// length of the maximal ill-formed subpart there (at least 1), as decoders
// that replace bad bytes with U+FFFD count them. Requires a non-empty text.
long utf8_sequence_at(std::string_view text);

// Decodes the code point that starts at `at` and moves `at` past it; an
// ill-formed sequence (overlong, surrogate, truncated, stray byte) gives
// nothing and moves `at` one byte on. Requires at < text.size().
std::optional<char32_t> next_code_point(std::string_view text, std::size_t& at);

// The code point that ends `text` and, in `length`, its bytes; nothing when
// the last bytes are not one well-formed sequence (`length` is then 0).
// Requires a non-empty text.
std::optional<char32_t> last_code_point(std::string_view text, std::size_t& length);

// Removes Unicode White_Space from both ends of UTF-8 text; bytes that are
// not well-formed UTF-8 are never taken for space.
std::string_view trim_white_space(std::string_view text);

}  // namespace ov
