// What a line must begin with, and a text it must hold, for a rule's regex to
// match it, read from the regex itself, so that most rules are passed over
// without running PCRE2.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ov::parse {

struct LinePrefix {
  enum class Blanks { None, Some, Any };  // none; \s+; \s*
  Blanks blanks = Blanks::None;
  std::string literal;      // what follows the blanks; empty: no condition
  std::bitset<128> first;   // the ASCII bytes that may follow the blanks
  bool known = false;       // false: anything may start a matching line
  std::string inner;        // a text every matching line holds; empty: no condition
};

// The prefix every line that `pattern` (a rule's regex, in Python's dialect)
// matches must have: ^, then \s+, \s* or nothing, then plain characters, or
// else a first character of a known class (a literal, \d, \w, \S), looked
// for inside leading groups too. Never a blank after blanks, so \s+ cannot
// give any back. Conservative: unknown when the pattern holds an alternation
// outside any group or a flag group, or begins otherwise. The inner text is
// the longest run of plain characters outside any set, other than the
// leading literal, that no quantifier lets the regex skip: at the top level or
// inside groups of one alternative that must match (not lookarounds).
LinePrefix line_prefix(std::string_view pattern);

// Bytes of Python white space at the start of `line`, ASCII only: a byte above
// ASCII stops the count (a caller treats what follows as unknown).
std::size_t ascii_blanks(std::string_view line);

namespace prefilter {

// Whether the `n` bytes at `a` and `b` are the same, a word at a time: the
// texts of a rule are short, and a call to memcmp costs more than they do.
inline bool same_bytes(const char* a, const char* b, std::size_t n) {
  const auto word = [](const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
  };
  const auto half = [](const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
  };
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 < n; i += 8) {
      if (word(a + i) != word(b + i)) return false;
    }
    return word(a + n - 8) == word(b + n - 8);
  }
  if (n >= 4) return half(a) == half(b) && half(a + n - 4) == half(b + n - 4);
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Whether `line` holds `part` (not empty) at `from` or after.
bool holds(std::string_view line, std::size_t from, std::string_view part);

}  // namespace prefilter

// Whether `line` holds the inner text and has the prefix (any, when unknown).
// `blanks`: ascii_blanks(line), counted once for all the rules of a line.
// Inline: it judges every candidate rule of every line.
inline bool may_match(const LinePrefix& prefix, std::string_view line, std::size_t blanks) {
  using Blanks = LinePrefix::Blanks;
  // The literal begins after the blanks, or at them when they are all ASCII.
  const std::size_t at = prefix.blanks == Blanks::None ? 0 : blanks;
  // A byte above ASCII after blanks may be a blank too: only the regex can judge such a line.
  const bool judged = prefix.known && !(prefix.blanks != Blanks::None && blanks < line.size() &&
                                        static_cast<unsigned char>(line[blanks]) >= 0x80);
  if (judged) {
    if (prefix.blanks == Blanks::Some && blanks == 0) return false;
    if (line.size() - at < prefix.literal.size() ||
        !prefilter::same_bytes(line.data() + at, prefix.literal.data(), prefix.literal.size()))
      return false;
  }
  // The inner text follows the literal.
  return prefix.inner.empty() || prefilter::holds(line, at + prefix.literal.size(), prefix.inner);
}

// The rules of one state that may match a line, found from the line's start
// (its first byte after ASCII blanks, and whether blanks came before it);
// each rule's own prefix then judges it. States of more than 64 rules try all.
class RuleDispatch {
 public:
  RuleDispatch() = default;
  explicit RuleDispatch(const std::vector<LinePrefix>& prefixes);

  // Bit i set: rule i may match `line`, which begins with `blanks` (ascii_blanks).
  std::uint64_t candidates(std::string_view line, std::size_t blanks) const;

  // Whether the state has too many rules for a mask: try every rule.
  bool all() const { return all_; }

 private:
  static constexpr std::size_t kKeys = 128;
  bool all_ = true;
  std::uint64_t always_ = 0;  // rules that any line may match
  std::uint64_t known_ = 0;   // the others: a byte above ASCII may be a blank, so they stay
  // [0, kKeys): the line starts with this ASCII byte; [kKeys, 2 kKeys): with blanks, then this.
  std::vector<std::uint64_t> keys_;
};

}  // namespace ov::parse
