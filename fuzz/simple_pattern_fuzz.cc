// libFuzzer target for the plain-sequence matcher: the bytes before the
// first NUL are a pattern (given ^ when it lacks one), the rest a subject.
// Where the pattern is a plain sequence and the subject ASCII, the matcher
// must find what PCRE2 finds: the same answer and the same groups.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "parse/python_text.h"
#include "parse/regex.h"
#include "parse/simple_pattern.h"

using ov::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = ov::fuzz::split_at_nul(data, size);
  if (!parts) return 0;
  std::string pattern(parts->first);
  if (!pattern.starts_with('^')) pattern.insert(0, 1, '^');
  const std::string_view subject = parts->second;
  // A plain sequence is used on ASCII subjects alone.
  if (!ov::parse::is_ascii(subject)) return 0;
  const auto simple = ov::parse::SimplePattern::of(pattern);
  if (!simple) return 0;
  // Only patterns that compile are ever matched (a group's name is checked there).
  const auto regex = ov::parse::Regex::compile(pattern);
  if (!regex) return 0;
  require(regex->group_count() == simple->groups());
  // PCRE2's answer: the Unicode form never takes the plain-sequence path.
  ov::parse::MatchScratch scratch(regex->group_count());
  const auto expected = scratch.match(*regex, subject, ov::parse::Subjects::Unicode);
  require(expected.has_value());
  std::vector<std::size_t> offsets(2 * (simple->groups() + 1), ov::parse::MatchScratch::kUnset);
  require(simple->match(subject, offsets.data()) == *expected);
  if (!*expected) return 0;
  for (std::size_t g = 0; g <= simple->groups(); ++g) {
    const auto group = scratch.group(g);
    require(group.has_value() &&
            offsets[2 * g] == static_cast<std::size_t>(group->data() - subject.data()) &&
            offsets[2 * g + 1] - offsets[2 * g] == group->size());
  }
  return 0;
}
