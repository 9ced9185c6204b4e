// Text as Python's str methods see it, for the template reader and the input:
// the reference engine is Python, and its notions of white space and of a
// line are what templates were written against.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::parse {

// Whether `cp` is white space for Python's str.isspace() and `re`'s \s.
bool is_python_space(char32_t cp);

// Bytes taken by the Python white space code point that ends `text`, or 0.
std::size_t trailing_python_space(std::string_view text);

// `text` without Python white space at either end (str.strip()).
std::string_view python_strip(std::string_view text);

// `text` without Python white space at its start (str.lstrip()).
std::string_view python_lstrip(std::string_view text);

// `text` without Python white space at its end (str.rstrip()).
std::string_view python_rstrip(std::string_view text);

// Whether every byte of `text` is below 0x80.
bool is_ascii(std::string_view text);

// Nothing when `text` is well-formed UTF-8; otherwise a copy in which each
// maximal ill-formed subsequence is one U+FFFD, as Python decodes with
// errors="replace".
std::optional<std::string> repaired_utf8(std::string_view text);

// The next of the lines of `rest` as str.splitlines() gives them, taken off
// `rest`: split at \n, \r, \r\n, \v, \f, \x1c, \x1d, \x1e, U+0085, U+2028
// and U+2029, the break dropped; nothing once `rest` is empty (so no empty
// line follows a final break). Requires well-formed UTF-8.
std::optional<std::string_view> next_python_line(std::string_view& rest);

// The lines of a template file as Python's text mode reads them: split at
// \n, \r\n and \r only (universal newlines), breaks dropped.
std::vector<std::string_view> file_lines(std::string_view text);

}  // namespace ov::parse
