// The translation of Python `re` patterns for PCRE2, and matching with it.
#include "parse/python_regex.h"

#include <gtest/gtest.h>

#include "parse/regex.h"

namespace ov::parse {
namespace {

TEST(PythonRegex, Translation) {
  const struct {
    std::string_view python;
    std::string_view pcre;
  } rows[] = {
      {"(?P<Name>\\d+)(?P=Name)", "(\\d+)\\g{1}"},
      {"(?P<a>x)?(?(a)y|z)", "(x)?(?(1)y|z)"},
      {"a\\Z", "a\\z"},
      {"\\v\\a\\x41\\u00e9\\U0001F600", "\\x{b}\\x{7}\\x{41}\\x{e9}\\x{1f600}"},
      {"x{,3}y{2,}z{}", "x{0,3}y{2,}z\\{}"},
      {"[[:alpha:]]", "[\\[:alpha:]]"},
      {"[]\\b]", "[\\]\\x{8}]"},
      {"\\s\\S", "[\\t-\\r\\x{1c}-\\x{20}\\x{85}\\x{a0}\\x{1680}\\x{2000}-\\x{200a}\\x{2028}"
                 "\\x{2029}\\x{202f}\\x{205f}\\x{3000}][^\\t-\\r\\x{1c}-\\x{20}\\x{85}\\x{a0}"
                 "\\x{1680}\\x{2000}-\\x{200a}\\x{2028}\\x{2029}\\x{202f}\\x{205f}\\x{3000}]"},
      {"(a)\\1\\101\\0", "(a)\\g{1}\\x{41}\\x{0}"},
      {"(?i:a)(?-i:b)(?u:c)(?#note)", "(?i:a)(?-i:b)(?:c)"},
      {"(?>a++)(?<=b)(?<!c)", "(?>a++)(?<=b)(?<!c)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.python);
    const auto translated = translate_python_regex(row.python);
    ASSERT_TRUE(translated.has_value()) << translated.error();
    EXPECT_EQ(translated->pattern, row.pcre);
  }
}

TEST(PythonRegex, RefusedAsPythonRefuses) {
  const struct {
    std::string_view python;
    std::string_view reason;
  } rows[] = {
      {"a**", "multiple repeat at position 2"},
      {"^*", "nothing to repeat at position 1"},
      {"\\q", "bad escape \\q at position 0"},
      {"[\\Z]", "bad escape \\Z at position 1"},
      {"\\x4", "incomplete escape \\x4 at position 0"},
      {"\\2(a)", "invalid group reference 2 at position 1"},
      {"(a\\1)", "cannot refer to an open group at position 2"},
      {"a(?i)b", "global flags not at the start of the expression at position 1"},
      {"(?<n>a)", "unknown extension ?<n at position 1"},
      {"(?P<1a>x)", "bad character in group name '1a' at position 4"},
      {"a{3,1}", "min repeat greater than max repeat at position 2"},
      {"[a", "unterminated character set at position 0"},
      {"(a", "missing ), unterminated subpattern at position 0"},
      {"(?x:a)", "the inline flag x is not supported at position 0"},
      {"a{70000}", "a repeat count above 65535 is not supported at position 1"},
      {"(?P<\xff>x)", "not valid utf-8"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.python);
    const auto translated = translate_python_regex(row.python);
    ASSERT_FALSE(translated.has_value());
    EXPECT_EQ(translated.error(), row.reason);
  }
}

// Python's classes and anchors, as PCRE2 runs the translation.
TEST(PythonRegex, MatchesAsPythonDoes) {
  const struct {
    std::string_view python;
    std::string_view subject;
    bool matches;
  } rows[] = {
      {"\\d+$", "\xd9\xa1\xd9\xa2", true},  // Arabic-Indic digits are \d
      {"\\w$", "\xc3\xa9", true},
      {"\\s$", "\x1f", true},
      {"\\s", "\xe1\xa0\x8e", false},  // U+180E is no space for Python
      {"b", "ab", false},             // anchored, as re.match is
      {"(?i:k)$", "\xe2\x84\xaa", true},
      {"[[:alpha:]]", ":]", true},
  };
  MatchScratch scratch(4);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.python);
    const auto regex = Regex::compile(row.python);
    ASSERT_TRUE(regex.has_value()) << regex.error();
    const auto matched = scratch.match(*regex, row.subject);
    ASSERT_TRUE(matched.has_value());
    EXPECT_EQ(*matched, row.matches);
  }
}

}  // namespace
}  // namespace ov::parse
