// A template as three plain tables: values, states (each an ordered list of
// rules) and the rules themselves. template_reader.cc fills them once;
// template.cc applies them line by line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parse/regex.h"
#include "parse/rule_prefilter.h"
#include "parse/template.h"
#include "parse/value_options.h"

namespace ov::parse {

struct Value {
  std::string name{};
  std::string pattern{};  // as written, enclosed in ( and )
  ValueOptions options{};
  ValueHooks hooks{};  // what the options do, from their rows
  std::optional<Regex> item_regex{};  // a List whose pattern names groups: the pattern alone
  std::size_t line;

  bool has(ValueOption option) const { return options.test(static_cast<std::size_t>(option)); }
};

enum class LineAction : std::uint8_t { Next, Continue, Error };
enum class RecordAction : std::uint8_t { NoRecord, Record, Clear, Clearall };

// Where a rule leads: a state's index, or one of these.
inline constexpr std::size_t kSameState = std::numeric_limits<std::size_t>::max();
inline constexpr std::size_t kEndState = kSameState - 1;  // stop; no record at the end
inline constexpr std::size_t kEofState = kSameState - 2;  // stop; the end of input follows

// A group of a rule's regex named as a value: the value takes its text.
struct Capture {
  std::size_t value;
  std::size_t group;
  bool list = false;  // the value is a List's, which appends an item too
};

struct Rule {
  Regex regex{};  // with the values substituted
  LinePrefix prefix{};  // what a line it matches begins with
  std::vector<Capture> captures{};
  bool captures_list = false;  // some capture is a List value's
  LineAction line_action = LineAction::Next;
  RecordAction record_action = RecordAction::NoRecord;
  std::size_t next_state = kSameState;
  std::string message{};  // an Error action's, without its quotes
  std::size_t line;
};

struct State {
  std::string name;
  std::vector<Rule> rules;
  RuleDispatch dispatch;  // the rules worth trying on a line
};

struct Tables {
  std::vector<Value> values;
  std::vector<State> states;
  std::size_t start = 0;
  bool eof_declared = false;  // an (empty) EOF state: no record at the end of input
  std::size_t max_groups = 0;
  RecordPlan plan;  // what the values' options ask of each record
};

// Reads a whole template into its tables.
std::expected<Tables, TemplateError> read_template(std::string_view text);

}  // namespace ov::parse
