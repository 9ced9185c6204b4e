// Strict UTF-8 validation.
#pragma once

#include <string_view>

namespace ov {

// Returns true iff `text` is well-formed UTF-8: no overlong forms, no
// surrogates, nothing above U+10FFFF, no truncated sequences.
bool is_valid_utf8(std::string_view text);

}  // namespace ov
