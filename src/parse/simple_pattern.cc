#include "parse/simple_pattern.h"

#include <string_view>

#include "parse/rule_prefilter.h"

namespace ov::parse {
namespace {

struct Members {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
};

constexpr Members bytes(unsigned first, unsigned last) {
  Members set;
  for (unsigned b = first; b <= last; ++b) {
    if (b < 64) {
      set.low |= std::uint64_t{1} << b;
    } else {
      set.high |= std::uint64_t{1} << (b - 64);
    }
  }
  return set;
}

constexpr Members operator|(Members a, Members b) { return {a.low | b.low, a.high | b.high}; }
constexpr Members operator~(Members a) { return {~a.low, ~a.high}; }

// Python's ASCII classes, as the patterns' ASCII twins spell them for PCRE2.
constexpr Members kSpace = bytes('\t', '\r') | bytes(0x1C, ' ');
constexpr Members kDigit = bytes('0', '9');
constexpr Members kWord = kDigit | bytes('A', 'Z') | bytes('a', 'z') | bytes('_', '_');
constexpr Members kNotNewline = ~bytes('\n', '\n');

// The class an escape letter names, if any.
std::optional<Members> escape_class(char letter) {
  switch (letter) {
    case 's': return kSpace;
    case 'S': return ~kSpace;
    case 'd': return kDigit;
    case 'D': return ~kDigit;
    case 'w': return kWord;
    case 'W': return ~kWord;
    default: return std::nullopt;
  }
}

// Printable ASCII that stands for itself outside a set ('{' and '}' left
// out: Python reads them as a literal or a repeat depending on what follows).
bool is_plain(char c) {
  return c >= ' ' && c <= '~' && std::string_view(".^$*+?{}[]\\|()").find(c) == std::string_view::npos;
}

// \. \- \  and kin: escaped ASCII punctuation is itself.
bool is_escaped_punctuation(char c) {
  const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return c >= ' ' && c <= '~' && !alnum;
}

}  // namespace

std::optional<SimplePattern> SimplePattern::of(std::string_view p) {
  if (!p.starts_with('^')) return std::nullopt;
  SimplePattern pattern;
  std::size_t group = 0;    // the group open now, or 0
  std::size_t opening = 0;  // a group opened and waiting for its first step
  bool joinable = false;    // the last step is a literal that the next literal may extend
  for (std::size_t i = 1; i < p.size();) {
    const char c = p[i];
    if (c == '(') {
      if (group != 0) return std::nullopt;
      if (p.substr(i).starts_with("(?P<")) {
        i = p.find('>', i);
        if (i == std::string_view::npos) return std::nullopt;
        ++i;
      } else if (p.substr(i).starts_with("(?")) {
        return std::nullopt;
      } else {
        ++i;
      }
      if (++pattern.groups_ > 255) return std::nullopt;
      group = opening = pattern.groups_;
      joinable = false;
      continue;
    }
    if (c == ')') {
      // An empty group, or one that a quantifier follows, is not a plain sequence.
      if (group == 0 || opening != 0) return std::nullopt;
      ++i;
      if (i < p.size() && std::string_view("*+?{").find(p[i]) != std::string_view::npos) return std::nullopt;
      pattern.steps_.back().closes = static_cast<std::uint8_t>(group);
      group = 0;
      joinable = false;
      continue;
    }
    if (c == '$') {
      if (i + 1 != p.size()) return std::nullopt;
      pattern.at_end_ = true;
      break;
    }
    Members members;
    std::optional<char> literal;
    if (c == '\\') {
      if (i + 1 >= p.size()) return std::nullopt;
      if (const auto named = escape_class(p[i + 1])) {
        members = *named;
      } else if (is_escaped_punctuation(p[i + 1])) {
        literal = p[i + 1];
      } else {
        return std::nullopt;
      }
      i += 2;
    } else if (c == '.') {
      members = kNotNewline;
      ++i;
    } else if (is_plain(c)) {
      literal = c;
      ++i;
    } else {
      return std::nullopt;
    }
    auto repeat = Step::Repeat::One;
    if (i < p.size() && (p[i] == '+' || p[i] == '*')) {
      repeat = p[i] == '+' ? Step::Repeat::Plus : Step::Repeat::Star;
      ++i;
      // Lazy and possessive runs are left to PCRE2.
      if (i < p.size() && (p[i] == '?' || p[i] == '+')) return std::nullopt;
    } else if (i < p.size() && (p[i] == '?' || p[i] == '{')) {
      return std::nullopt;
    }
    if (literal && repeat == Step::Repeat::One) {
      if (joinable) {
        pattern.steps_.back().literal += *literal;
        continue;
      }
    } else if (literal) {
      members = bytes(static_cast<unsigned char>(*literal), static_cast<unsigned char>(*literal));
      literal.reset();
    }
    Step step{.members = {members.low, members.high}, .repeat = repeat};
    if (literal) step.literal = std::string(1, *literal);
    step.opens = static_cast<std::uint8_t>(opening);
    opening = 0;
    joinable = literal.has_value();
    pattern.steps_.push_back(std::move(step));
  }
  if (group != 0) return std::nullopt;
  // A run gives back nothing that could help: what follows it takes none of its bytes.
  for (std::size_t k = 0; k + 1 < pattern.steps_.size(); ++k) {
    const Step& run = pattern.steps_[k];
    const Step& next = pattern.steps_[k + 1];
    if (run.repeat == Step::Repeat::One) continue;
    if (next.repeat == Step::Repeat::Star) return std::nullopt;
    const bool overlap = next.literal.empty()
                             ? (run.members[0] & next.members[0]) != 0 || (run.members[1] & next.members[1]) != 0
                             : run.takes(static_cast<unsigned char>(next.literal[0]));
    if (overlap) return std::nullopt;
  }
  return pattern;
}

bool SimplePattern::match(std::string_view subject, std::size_t* offsets) const {
  const std::size_t size = subject.size();
  std::size_t at = 0;
  const auto taken = [&](const Step& step) {
    return at < size && step.takes(static_cast<unsigned char>(subject[at]));
  };
  for (const Step& step : steps_) {
    if (step.opens != 0) offsets[2 * step.opens] = at;
    if (!step.literal.empty()) {
      const std::size_t length = step.literal.size();
      if (size - at < length || !prefilter::same_bytes(subject.data() + at, step.literal.data(), length))
        return false;
      at += length;
    } else {
      if (step.repeat != Step::Repeat::Star) {
        if (!taken(step)) return false;
        ++at;
      }
      if (step.repeat != Step::Repeat::One) {
        while (taken(step)) ++at;
      }
    }
    if (step.closes != 0) offsets[2 * step.closes + 1] = at;
  }
  // $ matches at the end, or before a newline that ends the subject.
  if (at_end_ && at != size && !(at + 1 == size && subject[at] == '\n')) return false;
  offsets[0] = 0;
  offsets[1] = at;
  return true;
}

}  // namespace ov::parse
