// Patterns that are a plain sequence (literal characters, one character of a
// class, or a run of one: \s+, \d*, .*), matched on ASCII text by one pass
// with no backtracking, where a PCRE2 call would cost more than the match.
//
// A pattern qualifies only when that pass finds what a backtracking engine
// finds: every run is followed by the end of the pattern, by $, or by one
// character (literal or of a class) that the run cannot take, so giving
// back any of the run could never let the rest match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::parse {

class SimplePattern {
 public:
  // The pattern, in Python's dialect and anchored at the start as a rule's
  // is, when it is a plain sequence as above: ^, then literal characters
  // (plain or escaped punctuation), \s \S \d \D \w \W or ., each alone or
  // with a greedy + or *, capturing groups around some of them (not nested,
  // not empty, not repeated), and $ at the very end. Nothing otherwise.
  static std::optional<SimplePattern> of(std::string_view python_pattern);

  // Capturing groups, numbered from 1 in the pattern's order.
  std::size_t groups() const { return groups_; }

  // Whether the pattern matches at the start of `subject`, every byte of
  // which is below 0x80. On a match, `offsets` (two per group, group 0 the
  // whole match, room for groups() + 1 pairs) holds each group's start and end.
  bool match(std::string_view subject, std::size_t* offsets) const;

 private:
  struct Step {
    // A literal text, or else one class: its members among ASCII bytes, a bit each.
    std::string literal;
    std::uint64_t members[2] = {0, 0};
    enum class Repeat : std::uint8_t { One, Plus, Star } repeat = Repeat::One;
    std::uint8_t opens = 0;   // the group opened before this step, or 0
    std::uint8_t closes = 0;  // the group closed after it, or 0

    // Without a branch on the byte: the bytes of a line alternate unpredictably.
    bool takes(unsigned char byte) const { return (members[(byte >> 6) & 1] >> (byte & 63) & 1) != 0; }
  };

  std::vector<Step> steps_;
  std::size_t groups_ = 0;
  bool at_end_ = false;  // ends with $
};

}  // namespace ov::parse
