// A plain-sequence pattern must match exactly where PCRE2 does, with the
// same groups; any pattern whose matches could need backtracking is refused.
#include "parse/simple_pattern.h"

#include <gtest/gtest.h>

#include "parse/regex.h"

namespace ov::parse {
namespace {

TEST(SimplePattern, TakesOnlyPlainSequences) {
  const struct {
    const char* pattern;
    bool plain;
  } rows[] = {
      {"^\\s+(?P<P>\\d+) packets input, (?P<B>\\d+) bytes", true},
      {"^\\s*$", true},
      {"^(?P<D>.*)$", true},
      {"^\\S+ x\\.\\-#", true},
      {"^(a)(b)c+", true},
      {"x\\d+", false},               // not anchored
      {"^(?P<H>.+?), address", false},  // lazy
      {"^\\d++x", false},             // possessive
      {"^\\S+, \\S+", false},         // the run takes the comma that follows
      {"^\\d+\\s*x", false},          // a run before an optional one
      {"^\\d+5", false},              // the literal is in the run's class
      {"^(up|down)", false},          // alternation
      {"^((a)b)", false},             // nested groups
      {"^(ab)+", false},              // a repeated group
      {"^()a", false},                // an empty group
      {"^(?:ab)", false},             // a group of another kind
      {"^a?b", false},
      {"^a{2}", false},
      {"^[ab]", false},
      {"^a$b", false},
      {"^\\bx", false},
      {"^\\x41", false},
      {"^\\", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pattern);
    EXPECT_EQ(SimplePattern::of(row.pattern).has_value(), row.plain);
  }
}

// Every pair of these patterns and subjects, against PCRE2.
TEST(SimplePattern, MatchesWherePcre2Matches) {
  const std::vector<std::string> patterns = {
      "^\\s+(?P<P>\\d+) packets input, (?P<B>\\d+) bytes",
      "^\\s*$",
      "^(?P<D>.*)$",
      "^(?P<D>.+)",
      "^\\S+ (?P<W>\\w+)\\W(?P<R>\\D*)",
      "^(?P<A>\\d+\\.\\d+)/(?P<L>\\d+)$",
      "^Total (?P<N>\\d+)",
      "^a(b)(c)",
  };
  const std::vector<std::string> subjects = {
      "     97402358 packets input, 466223197902 bytes, 0 no buffer",
      "  5 packets input, 7 bytes",
      "  5 packets input, x bytes",
      " \t ",
      "",
      "\n",
      "x\n",
      "x\ny",
      "Gi0/1 up-and running",
      "Gi0/1 up",
      "10.1/24",
      "10.1/24\n",
      "10.1/24x",
      "Total 4",
      "Total",
      "abc",
      "ab",
  };
  for (const std::string& pattern : patterns) {
    const auto simple = SimplePattern::of(pattern);
    ASSERT_TRUE(simple.has_value()) << pattern;
    const auto regex = Regex::compile(pattern);
    ASSERT_TRUE(regex.has_value());
    MatchScratch scratch(regex->group_count());
    for (const std::string& subject : subjects) {
      SCOPED_TRACE(pattern + " on '" + subject + "'");
      const auto expected = scratch.match(*regex, subject, Subjects::Unicode);
      ASSERT_TRUE(expected.has_value());
      std::vector<std::size_t> offsets(2 * (simple->groups() + 1));
      ASSERT_EQ(simple->match(subject, offsets.data()), *expected);
      for (std::size_t g = 0; *expected && g <= simple->groups(); ++g) {
        EXPECT_EQ(subject.substr(offsets[2 * g], offsets[2 * g + 1] - offsets[2 * g]), scratch.group(g));
      }
    }
  }
}

}  // namespace
}  // namespace ov::parse
