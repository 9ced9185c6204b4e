// TextFSM templates: the language network engineers write to turn a device's
// show-command output into records, compiled once and applied to any number
// of inputs. The records are those that Debian's python3-textfsm gives for
// the same template and input; lines that no rule matched are reported too.
//
// Input text that is not well-formed UTF-8 is read as Python reads it with
// errors="replace": each maximal ill-formed byte sequence becomes U+FFFD, so
// such bytes neither fail the parse nor vanish. Lines are split as Python's
// str.splitlines() splits them.
//
// Regexes are Python's `re` dialect, run by PCRE2 (python_regex.h lists the
// few differences); each match runs under a budget, so a pattern that would
// backtrack without end fails the parse with an error instead.
#pragma once

#include <cstddef>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "parse/records.h"

namespace ov::parse {

struct TemplateError {
  std::size_t line;  // one-based line of the template
  std::string reason;
  std::string message() const;  // "template line L: reason"
};

struct UnreadLine {
  std::size_t number;  // one-based
  std::string text;
};

struct ParseError {
  std::size_t template_line;  // of the rule that failed
  std::size_t input_line;     // one-based
  std::string reason;
  std::string message() const;  // "template line L, input line N: reason"
};

struct ParseResult {
  Records records;                 // a field a Value, in header() order; they keep their texts
  std::vector<UnreadLine> unread;  // lines no rule of the current state matched
};

struct Tables;

class Template {
 public:
  // Reads the whole template; every fault it can have is found here.
  static std::expected<Template, TemplateError> compile(std::string_view text);

  // The Value names, in the template's order.
  const std::vector<std::string>& header() const { return header_; }

  // Applies the template to `input`, which the records need not outlive.
  // Safe to call from many threads at once. Fails when a rule's Error action
  // is taken or a match exceeds its budget.
  std::expected<ParseResult, ParseError> parse(std::string_view input) const;

 private:
  std::shared_ptr<const Tables> tables_;
  std::vector<std::string> header_;
};

}  // namespace ov::parse
