// Patterns compiled once with PCRE2 (JIT where the platform has it), and the
// per-parse scratch that every match runs with, under a budget.
#pragma once

#include <cstddef>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parse/python_regex.h"
#include "parse/rule_prefilter.h"
#include "parse/simple_pattern.h"

namespace ov::parse {

struct CompiledPattern;  // the PCRE2 code; see regex.cc

// Whether `name` is a Python identifier by Unicode's classes: a letter, a
// letter number or _, then letters, numbers, marks and connectors.
bool is_unicode_identifier(std::string_view name);

// A pattern in Python's `re` dialect (python_regex.h), anchored at the start
// of the subject as Python's `match` is. Immutable after compile: copies
// share the code, and any number of threads may match with it at once, each
// with its own MatchScratch.
class Regex {
 public:
  Regex() = default;
  Regex(const Regex&) = default;
  Regex& operator=(const Regex&) = default;
  // The plain-sequence form goes with the code: a moved-from Regex keeps no
  // pointer into code it no longer shares.
  Regex(Regex&& other) noexcept : code_(std::move(other.code_)), simple_(std::exchange(other.simple_, nullptr)) {}
  Regex& operator=(Regex&& other) noexcept {
    code_ = std::move(other.code_);
    simple_ = std::exchange(other.simple_, nullptr);
    return *this;
  }

  // The error is the reason alone: Python's for what Python refuses,
  // PCRE2's for the little that PCRE2 alone refuses. Compiled patterns are
  // kept, by their text, in a bounded cache shared by the process's threads
  // (as Python's `re` keeps its own), so compiling one again is a lookup.
  static std::expected<Regex, std::string> compile(std::string_view python_pattern);

  // The same, compiled afresh rather than taken from the process's cache of
  // compiled patterns (for measuring the compiler).
  static std::expected<Regex, std::string> compile_uncached(std::string_view python_pattern);

  const std::vector<NamedGroup>& named_groups() const;
  std::size_t group_count() const;

  // What a line this pattern matches begins with (rule_prefilter.h), read
  // once with the pattern.
  const LinePrefix& prefix() const;

 private:
  friend class MatchScratch;
  std::shared_ptr<const CompiledPattern> code_;  // copies share it, names and all
  // Its plain-sequence form, within code_, when it has one: read inline.
  const SimplePattern* simple_ = nullptr;
};

// What one thread needs to match: match data for up to `max_groups` groups,
// the limits every match runs under, and the JIT stack of the thread that
// made it, taken from the thread's last scratch where it has room and handed
// back at the end. Not shareable: made, used and destroyed on one thread.
class MatchScratch {
 public:
  explicit MatchScratch(std::size_t max_groups);
  ~MatchScratch();
  MatchScratch(const MatchScratch&) = delete;
  MatchScratch& operator=(const MatchScratch&) = delete;

  // Whether `regex` matches at the start of `subject`, which must be
  // well-formed UTF-8 and outlive the groups read from this match; Ascii
  // promises that every byte of it is below 0x80 (and runs faster). A match
  // that exceeds its budget (PCRE2's match limit, depth limit, heap limit or
  // JIT stack) is an error whose reason says so; so is any other engine failure.
  std::expected<bool, std::string> match(const Regex& regex, std::string_view subject,
                                         Subjects subjects = Subjects::Unicode) {
    subject_ = subject;
    // Inline: a plain sequence on an ASCII line is most rules' most matches.
    if (subjects == Subjects::Ascii && regex.simple_ != nullptr && regex.simple_->groups() < pairs_) {
      ovector_ = simple_offsets_;
      return regex.simple_->match(subject, simple_offsets_);
    }
    return match_pcre2(regex, subject, subjects);
  }

  // Group `number` of the last successful match, or nothing when it took no part.
  // Inline: a rule reads several groups of every line it matches.
  std::optional<std::string_view> group(std::size_t number) const {
    if (number >= pairs_) return std::nullopt;
    const std::size_t begin = ovector_[2 * number];
    const std::size_t end = ovector_[2 * number + 1];
    if (begin == kUnset || end < begin) return std::nullopt;
    return subject_.substr(begin, end - begin);
  }

  static constexpr std::size_t kUnset = ~std::size_t{0};  // a group that took no part

 private:
  std::expected<bool, std::string> match_pcre2(const Regex& regex, std::string_view subject, Subjects subjects);

  struct Engine;
  static std::unique_ptr<Engine>& spare_engine();
  std::unique_ptr<Engine> engine_;
  // Where PCRE2 leaves its groups, fixed for the life of the match data.
  const std::size_t* pcre2_offsets_;
  // Where the last match left them: PCRE2's offsets or simple_offsets_.
  const std::size_t* ovector_;
  std::size_t pairs_;
  std::size_t* simple_offsets_;  // a SimplePattern's, as many pairs, within engine_
  std::string_view subject_;
};

}  // namespace ov::parse
