// The prefilter may pass over a rule only when its regex cannot match.
#include "parse/rule_prefilter.h"

#include <gtest/gtest.h>

#include "parse/regex.h"

namespace ov::parse {
namespace {

const std::vector<std::string> kPatterns = {
    "^Interface\\s+Address",
    "^\\s+Hardware is (?P<H>.+?), address",
    "^\\s*$",
    "^(?P<N>\\d+\\.\\d+|[0-9a-f:]+)\\s+(?P<V>\\d)",
    "^\\s+(?P<P>\\d+) packets",
    "^(?P<I>\\S+) is (up|down)",
    "^a?b",
    "^\\s+ x",
    "^x|  y",
    "^(?i:vlan) (?P<V>\\d+)",
    "^\\.\\d*-[a-c]+",
    "^(?:ab)+c",
    "^\\s+(?P<P>\\d+) packets input, (?P<B>\\d+) bytes",
    "^a\\x41bc d",
    "^(ab){2}x yz",
    "^\\S+ a?bc\\.",
    "^\\d+ [a-z]+ {2,}end",
    "^\\s+(?P<D>\\w+-duplex), (?P<S>\\d+Mb/s|auto)",
    "^x(?:-duplex)? (?P<Y>(y z)+)",
    "^x (?:ab|cd)(?=-e)(?!-ef)",
    "^x( ab{0}c)*( d)+",
    "^[A-\\\\]+ x",
    "^[A-\\x7a]+ x",
    "^ab(?P<X>cd)e",
};

const std::vector<std::string> kLines = {
    "Interface    Address", "  Hardware is Gigabit, address is 1", "", "   ", "10.0.0.1  4",
    "fe80::1  4",           "     123 packets input",                "Gi0/0 is up", "b",
    "ab",                   "\t x",                                  "  y",         "VLAN 7",
    ".5-abc",               "ababc",                                 "\xc2\xa0 x",  "x",
    "  5 packets input, 7 bytes", "  5 packets output, 7 bytes", "aAbc d", "ababx yz", "x bc.",
    "x abc.", "x abc", "12 abc   end", "12 abc end",
    "  full-duplex, 1000Mb/s", "  full, auto", "x y z", "x-duplex y zy z", "x cd-e", "x ab-ef",
    "x  d", "x ac d", "C x", "b x", "abcde",
    // Long enough to be searched sixteen starts at a time: the inner text in
    // the first block, only in the last (overlapping) one, and nearly there.
    "  5 packets input, 7 bytes and then a long tail of text",
    "  123456789012345678901234567890123456 packets input, 7 bytes",
    "  123456789012345678901234567890123456 packets inpux, 7 bytes",
    "  Hardware is a very long name for a piece of hardware, address is 1",
};

// Every line a rule's regex matches is one the prefilter keeps for it.
TEST(RulePrefilter, NeverPassesOverAMatch) {
  std::vector<LinePrefix> prefixes;
  for (const std::string& pattern : kPatterns) prefixes.push_back(line_prefix(pattern));
  const RuleDispatch dispatch(prefixes);
  MatchScratch scratch(8);
  std::size_t passed_over = 0;
  for (std::size_t r = 0; r < kPatterns.size(); ++r) {
    const auto regex = Regex::compile(kPatterns[r]);
    ASSERT_TRUE(regex.has_value()) << regex.error();
    for (const std::string& line : kLines) {
      SCOPED_TRACE(kPatterns[r] + " on '" + line + "'");
      const std::size_t blanks = ascii_blanks(line);
      const bool kept = (dispatch.candidates(line, blanks) >> r & 1) != 0 &&
                        may_match(prefixes[r], line, blanks);
      const auto matched = scratch.match(*regex, line);
      ASSERT_TRUE(matched.has_value());
      if (*matched) {
        EXPECT_TRUE(kept);
      }
      passed_over += kept ? 0 : 1;
    }
  }
  // It does pass over many of these pairs.
  EXPECT_GT(passed_over, kPatterns.size() * kLines.size() / 3);
}

}  // namespace
}  // namespace ov::parse
