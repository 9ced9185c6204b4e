// Python `re` patterns rewritten for PCRE2 (UTF and UCP modes), so that a
// template written against Python's engine matches the same lines here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace ov::parse {

struct NamedGroup {
  std::string name;
  std::size_t number;  // the capture group's number, counted from 1
};

struct Translation {
  std::string pattern;              // for PCRE2, without group names
  std::vector<NamedGroup> names;    // every (?P<name>...) in pattern order
  std::size_t groups = 0;           // capture groups in all
};

// What a translation is for: any text (PCRE2's UTF and UCP modes), or ASCII
// text alone (compiled without them: \s becomes Python's set within ASCII,
// and PCRE2's own \d, \w, \b and case folding agree with Python's there).
enum class Subjects : std::uint8_t { Unicode, Ascii };

// Rewrites a Python 3.11 `re` pattern (for str subjects, no flags) for PCRE2.
// Bytes that are not UTF-8 are refused ("not valid utf-8").
// Named groups become plain groups (PCRE2 caps names at 32 units, Python does
// not), references to them become numbered; \Z, \v, \uXXXX, \UXXXXXXXX and
// {,n} get their PCRE2 spellings; \s gets Python's set; a [ inside a set is a
// literal. What Python's `re` refuses is refused here with its reason
// ("nothing to repeat", "bad escape \q", ...). Not supported, and refused with
// a reason that says so: the inline flag x, the flag a but as a global flag
// opening the pattern (dropped: such a pattern is a value's, only checked),
// \N{name}, surrogates and repeat counts above 65535.
// Known differences left: a lookbehind whose alternatives differ in length is
// accepted; \S inside a set follows PCRE2 for U+001F and U+180E.
std::expected<Translation, std::string> translate_python_regex(
    std::string_view pattern, Subjects subjects = Subjects::Unicode);

}  // namespace ov::parse
