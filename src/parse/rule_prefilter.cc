#include "parse/rule_prefilter.h"

#include <algorithm>
#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ov::parse {
namespace {

// Bytes `first` to `last` (below 64), a bit each.
constexpr std::uint64_t byte_bits(unsigned first, unsigned last) { return (~0ULL >> (63 - last)) & (~0ULL << first); }

// Python's ASCII white space: \t to \r, \x1c to \x1f and the space.
constexpr std::uint64_t kBlanks = byte_bits('\t', '\r') | byte_bits(0x1C, ' ');

bool is_blank(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' && (kBlanks >> byte & 1) != 0;
}

// Characters that stand for themselves in Python's `re` outside a set.
bool is_plain(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x80 || byte < 0x20) return false;
  return std::string_view(".^$*+?{}[]\\|()#").find(c) == std::string_view::npos;
}

// \. \- \( and kin: ASCII punctuation escaped is itself.
bool is_escaped_literal(char c) {
  const auto byte = static_cast<unsigned char>(c);
  const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return byte >= 0x20 && byte < 0x7F && !alnum;
}

bool is_quantifier(char c) { return c == '?' || c == '*' || c == '{' || c == '+'; }

// An alternation outside any group, or any flag group, makes a prefix unsafe.
bool safe_shape(std::string_view pattern) {
  int depth = 0;
  bool in_set = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '\\') {
      ++i;
      continue;
    }
    if (in_set) {
      in_set = c != ']';
      continue;
    }
    if (c == '[') {
      in_set = true;
      if (i + 1 < pattern.size() && pattern[i + 1] == ']') ++i;
      if (i + 2 < pattern.size() && pattern[i + 1] == '^' && pattern[i + 2] == ']') i += 2;
    } else if (c == '(') {
      ++depth;
      const std::string_view rest = pattern.substr(i + 1);
      const bool special = rest.starts_with("?P") || rest.starts_with("?:") || rest.starts_with("?=") ||
                           rest.starts_with("?!") || rest.starts_with("?<") || rest.starts_with("?>") ||
                           rest.starts_with("?#") || rest.starts_with("?(") || !rest.starts_with("?");
      if (!special) return false;
    } else if (c == ')') {
      --depth;
    } else if (c == '|' && depth == 0) {
      return false;
    }
  }
  return true;
}

std::bitset<128> ascii_class(bool (*member)(char)) {
  std::bitset<128> set;
  for (std::size_t b = 0; b < 128; ++b) set[b] = member(static_cast<char>(b));
  return set;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_word(char c) { return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_not_blank(char c) { return !is_blank(c); }

// The end of the set opened at `i`, or npos.
std::size_t set_end(std::string_view pattern, std::size_t i) {
  std::size_t j = i + 1;
  if (j < pattern.size() && pattern[j] == '^') ++j;
  if (j < pattern.size() && pattern[j] == ']') ++j;
  for (; j < pattern.size(); ++j) {
    if (pattern[j] == '\\') {
      ++j;
    } else if (pattern[j] == ']') {
      return j;
    }
  }
  return std::string_view::npos;
}

// The group opened at `i`: where it ends (npos when it does not), and where
// each of its alternatives begins, just after the opening or a top-level |.
std::pair<std::size_t, std::vector<std::size_t>> group_parts(std::string_view pattern, std::size_t i,
                                                              std::size_t body) {
  std::vector<std::size_t> starts{body};
  int depth = 0;
  for (; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '\\') {
      ++i;
    } else if (c == '[') {
      i = set_end(pattern, i);
      if (i == std::string_view::npos) break;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return {i, starts};
    } else if (c == '|' && depth == 1) {
      starts.push_back(i + 1);
    }
  }
  return {std::string_view::npos, starts};
}

// Where the body of the group opened at `i` begins when the group matches
// its body as it is (capturing, named or not); npos for a lookaround, a
// conditional or any other kind.
std::size_t plain_group_body(std::string_view pattern, std::size_t i) {
  const std::string_view rest = pattern.substr(i);
  if (rest.starts_with("(?P<")) {
    const std::size_t close = pattern.find('>', i);
    return close == std::string_view::npos ? close : close + 1;
  }
  if (rest.starts_with("(?:")) return i + 3;
  if (!rest.starts_with("(?")) return i + 1;
  return std::string_view::npos;
}

// The ASCII characters of a plain set such as [0-9a-f:] or [\w.]; empty for
// a negated set or anything less plain.
std::bitset<128> set_class(std::string_view pattern, std::size_t i, std::size_t end) {
  std::bitset<128> set;
  for (std::size_t j = i + 1; j < end; ++j) {
    char c = pattern[j];
    if (c == '^' && j == i + 1) return {};
    if (c == '\\') {
      const char e = pattern[++j];
      if (e == 'd') { set |= ascii_class(is_digit); continue; }
      if (e == 'w') { set |= ascii_class(is_word); continue; }
      if (!is_escaped_literal(e)) return {};
      c = e;
    } else if (static_cast<unsigned char>(c) >= 0x80 || c == '[') {
      return {};
    }
    if (j + 2 < end && pattern[j + 1] == '-') {
      // A range ending in an escape ([A-\\]) is not read here: unknown.
      if (pattern[j + 2] == '\\') return {};
      const auto low = static_cast<unsigned char>(c);
      const auto high = static_cast<unsigned char>(pattern[j + 2]);
      if (high >= 0x80 || high < low) return {};
      for (unsigned b = low; b <= high; ++b) set.set(b);
      j += 2;
      continue;
    }
    set.set(static_cast<unsigned char>(c));
  }
  return set;
}

// The ASCII characters that may begin what `pattern` matches from `i`: one
// atom (a character, \d, \w, \S or a plain set), or a group each of whose
// alternatives begins so, that must occur at least once; empty when that is
// not known.
std::bitset<128> first_class(std::string_view pattern, std::size_t i) {
  const auto once = [&](std::size_t after) {
    return after >= pattern.size() || (pattern[after] != '?' && pattern[after] != '*' && pattern[after] != '{');
  };
  if (i < pattern.size() && pattern[i] == '(') {
    const std::size_t body = plain_group_body(pattern, i);
    if (body == std::string_view::npos) return {};
    const auto [end, starts] = group_parts(pattern, i, body);
    if (end == std::string_view::npos || !once(end + 1)) return {};
    // Each alternative must begin with a known class: the group's is their union.
    std::bitset<128> set;
    for (const std::size_t start : starts) {
      const std::bitset<128> part = first_class(pattern, start);
      if (part.none()) return {};
      set |= part;
    }
    return set;
  }
  if (i >= pattern.size()) return {};
  if (pattern[i] == '[') {
    const std::size_t end = set_end(pattern, i);
    if (end == std::string_view::npos || !once(end + 1)) return {};
    return set_class(pattern, i, end);
  }
  if (pattern[i] == '\\' && i + 1 < pattern.size()) {
    if (!once(i + 2)) return {};
    switch (pattern[i + 1]) {
      case 'd': return ascii_class(is_digit);
      case 'w': return ascii_class(is_word);
      case 'S': return ascii_class(is_not_blank);
      default: break;
    }
    if (!is_escaped_literal(pattern[i + 1])) return {};
    return std::bitset<128>().set(static_cast<unsigned char>(pattern[i + 1]));
  }
  if (!is_plain(pattern[i]) || !once(i + 1)) return {};
  return std::bitset<128>().set(static_cast<unsigned char>(pattern[i]));
}

bool is_alnum(char c) { return is_word(c) && c != '_'; }

// Where the quantifier {m}, {m,}, {,n} or {m,n} opened at `i` ends, or npos
// when the brace opens none (Python then reads it as itself).
std::size_t brace_end(std::string_view pattern, std::size_t i) {
  const std::size_t close = pattern.find('}', i);
  if (close == std::string_view::npos) return close;
  const std::string_view inside = pattern.substr(i + 1, close - i - 1);
  const bool shaped = std::ranges::all_of(inside, [](char c) { return is_digit(c) || c == ','; }) &&
                      std::ranges::count(inside, ',') <= 1 && inside != ",";
  return shaped && !inside.empty() ? close : std::string_view::npos;
}

// The runs of plain characters outside any group or set from `i` on, each
// with where it starts, less any character that a quantifier may take away.
// Escapes that are not literals (\d, \x41, \1) end a run, as do the letters
// and digits right after them, which may belong to them.
std::vector<std::pair<std::size_t, std::string>> literal_runs(std::string_view pattern, std::size_t i) {
  std::vector<std::pair<std::size_t, std::string>> runs;
  std::pair<std::size_t, std::string> run{i, {}};
  const auto end_run = [&](std::size_t next) {
    if (!run.second.empty()) runs.push_back(run);
    run = {next, {}};
  };
  while (i < pattern.size()) {
    char c = pattern[i];
    std::size_t width = 1;
    if (c == '\\' && i + 1 < pattern.size() && is_escaped_literal(pattern[i + 1])) {
      c = pattern[i + 1];
      width = 2;
    } else if (c == '\\') {
      i += 2;
      while (i < pattern.size() && is_alnum(pattern[i])) ++i;
      end_run(i);
      continue;
    } else if (c == '(') {
      const std::size_t body = plain_group_body(pattern, i);
      const auto [end, starts] = group_parts(pattern, i, body);
      if (end == std::string_view::npos) return {};
      end_run(end + 1);
      // A group taken once or more, with one alternative, requires its runs too.
      const bool required = end + 1 >= pattern.size() || !is_quantifier(pattern[end + 1]) || pattern[end + 1] == '+';
      if (body != std::string_view::npos && starts.size() == 1 && required) {
        for (auto& inner : literal_runs(pattern.substr(0, end), body)) runs.push_back(std::move(inner));
      }
      i = end + 1;
      continue;
    } else if (c == '[') {
      const std::size_t end = set_end(pattern, i);
      if (end == std::string_view::npos) return {};
      i = end + 1;
      end_run(i);
      continue;
    } else if (c == '{') {
      const std::size_t end = brace_end(pattern, i);
      i = end == std::string_view::npos ? i + 1 : end + 1;
      end_run(i);
      continue;
    } else if (!is_plain(c)) {
      ++i;
      end_run(i);
      continue;
    }
    // A character under a quantifier that allows none of it is not required.
    const bool quantified = i + width < pattern.size() && is_quantifier(pattern[i + width]);
    if (!quantified || pattern[i + width] == '+') run.second += c;
    i += width;
    if (quantified) end_run(i);
  }
  end_run(i);
  return runs;
}

}  // namespace

std::size_t ascii_blanks(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && is_blank(line[n])) ++n;
  return n;
}

LinePrefix line_prefix(std::string_view pattern) {
  LinePrefix prefix;
  if (!pattern.starts_with('^') || !safe_shape(pattern)) return prefix;
  std::size_t i = 1;
  if (pattern.substr(i).starts_with("\\s+")) {
    prefix.blanks = LinePrefix::Blanks::Some;
    i += 3;
  } else if (pattern.substr(i).starts_with("\\s*")) {
    prefix.blanks = LinePrefix::Blanks::Any;
    i += 3;
  }
  if (prefix.blanks != LinePrefix::Blanks::None) {
    // A lazy or possessive mark changes nothing of what the blanks take.
    if (i < pattern.size() && (pattern[i] == '?' || pattern[i] == '+')) ++i;
  }
  const std::size_t literal_at = i;
  while (i < pattern.size()) {
    char c = pattern[i];
    std::size_t width = 1;
    if (c == '\\' && i + 1 < pattern.size() && is_escaped_literal(pattern[i + 1])) {
      c = pattern[i + 1];
      width = 2;
    } else if (!is_plain(c)) {
      break;
    }
    // A character under a quantifier that allows none of it ends the prefix before it.
    if (i + width < pattern.size() && is_quantifier(pattern[i + width])) {
      if (pattern[i + width] == '+') prefix.literal += c;
      break;
    }
    prefix.literal += c;
    i += width;
  }
  // Blanks given back by \s+ could begin the literal: only a literal that
  // starts with no blank is a safe condition after them.
  if (prefix.blanks != LinePrefix::Blanks::None && !prefix.literal.empty() && is_blank(prefix.literal[0]))
    prefix.literal.clear();
  if (!prefix.literal.empty()) {
    if (static_cast<unsigned char>(prefix.literal[0]) < 0x80) prefix.first.set(static_cast<unsigned char>(prefix.literal[0]));
  } else {
    prefix.first = first_class(pattern, i);
    if (prefix.blanks != LinePrefix::Blanks::None) {
      for (std::size_t b = 0; b < 128; ++b) {
        if (is_blank(static_cast<char>(b))) prefix.first.reset(b);
      }
    }
  }
  prefix.known = prefix.first.any();
  // The leading literal, if any, starts at `literal_at`; the prefix checks it already.
  // Without its leading blanks, as the search looks for its first byte, and
  // lines hold many blanks.
  for (auto& [start, text] : literal_runs(pattern, 1)) {
    const bool checked = start == literal_at && !prefix.literal.empty();
    const std::string_view inner = std::string_view(text).substr(std::min(ascii_blanks(text), text.size()));
    if (!checked && inner.size() > prefix.inner.size()) prefix.inner = inner;
  }
  return prefix;
}

RuleDispatch::RuleDispatch(const std::vector<LinePrefix>& prefixes) {
  if (prefixes.size() > 64) return;
  all_ = false;
  keys_.assign(2 * kKeys, 0);
  const std::bitset<128> blanks = ascii_class(is_blank);
  const std::bitset<128> low_mask(~std::uint64_t{0});
  for (std::size_t r = 0; r < prefixes.size(); ++r) {
    const LinePrefix& prefix = prefixes[r];
    const std::uint64_t bit = std::uint64_t{1} << r;
    // A rule without blanks whose line may start with one is tried on every line.
    if (!prefix.known || (prefix.blanks == LinePrefix::Blanks::None && (prefix.first & blanks).any())) {
      always_ |= bit;
      continue;
    }
    known_ |= bit;
    const std::array<std::uint64_t, 2> words{(prefix.first & low_mask).to_ullong(),
                                             (prefix.first >> 64).to_ullong()};
    for (std::size_t w = 0; w < words.size(); ++w) {
      for (std::uint64_t rest = words[w]; rest != 0; rest &= rest - 1) {
        const std::size_t b = 64 * w + static_cast<std::size_t>(std::countr_zero(rest));
        if (prefix.blanks != LinePrefix::Blanks::Some) keys_[b] |= bit;
        if (prefix.blanks != LinePrefix::Blanks::None) keys_[kKeys + b] |= bit;
      }
    }
  }
}

std::uint64_t RuleDispatch::candidates(std::string_view line, std::size_t blanks) const {
  if (blanks >= line.size()) return always_;  // an empty or blank line: no known start
  const auto byte = static_cast<unsigned char>(line[blanks]);
  if (byte >= 0x80) return always_ | known_;
  return always_ | keys_[blanks > 0 ? kKeys + byte : byte];
}

namespace prefilter {

bool holds(std::string_view line, std::size_t from, std::string_view part) {
  const std::size_t n = part.size();
  if (from > line.size() || line.size() - from < n) return false;
  const char* const text = line.data() + from;
  const std::size_t starts = line.size() - from - n + 1;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen starts at a time: the first and the last byte of `part` compared
  // at each, the rest only where both agree. A call to memchr costs more on
  // lines this short.
  if (starts >= 16) {
    const __m128i first = _mm_set1_epi8(part[0]);
    const __m128i last = _mm_set1_epi8(part[n - 1]);
    const auto found = [&](std::size_t block) {
      const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block));
      const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block + n - 1));
      auto both = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
      for (; both != 0; both &= both - 1) {
        if (same_bytes(text + block + std::countr_zero(both), part.data(), n)) return true;
      }
      return false;
    };
    for (; i + 16 <= starts; i += 16) {
      if (found(i)) return true;
    }
    // The last starts in one block that overlaps the one before.
    return i < starts && found(starts - 16);
  }
#endif
  for (; i < starts; ++i) {
    if (text[i] == part[0] && text[i + n - 1] == part[n - 1] && same_bytes(text + i, part.data(), n)) return true;
  }
  return false;
}

}  // namespace prefilter

}  // namespace ov::parse
