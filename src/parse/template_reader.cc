// Reads a template into its tables. The language, a line at a time:
//   template   := value-line* blank state*
//   value-line := "Value " [option ("," option)* " "] name " " "(" regex ")"
//   state      := name-line rule-line* (blank | end of template)
//   rule-line  := (" " | "  " | "\t") "^" regex [space "->" action]
//   action     := space (line-op ["." record-op] | record-op) [space target]
//               | space target
//   line-op    := "Next" | "Continue" | "Error";  target := word | '"' text '"'
//   record-op  := "Record" | "NoRecord" | "Clear" | "Clearall"
// Comment lines (# after optional blanks) may stand anywhere. In a rule,
// ${Name} or $Name stands for the value's regex as a named group; $$ is $
// (when the template has values).
#include <algorithm>
#include <array>
#include <utility>

#include "base/utf8.h"
#include "parse/python_text.h"
#include "parse/tables.h"

namespace ov::parse {
namespace {

// The reference's limit on value and state names.
constexpr std::size_t kMaxNameLength = 48;

constexpr std::array<std::pair<std::string_view, LineAction>, 3> kLineActions{{
    {"Next", LineAction::Next}, {"Continue", LineAction::Continue}, {"Error", LineAction::Error}}};
constexpr std::array<std::pair<std::string_view, RecordAction>, 4> kRecordActions{{
    {"Record", RecordAction::Record},
    {"NoRecord", RecordAction::NoRecord},
    {"Clear", RecordAction::Clear},
    {"Clearall", RecordAction::Clearall}}};

template <class Table>
auto find_named(const Table& table, std::string_view name)
    -> std::optional<typename Table::value_type::second_type> {
  for (const auto& [key, value] : table) {
    if (key == name) return value;
  }
  return std::nullopt;
}

bool is_ascii_alnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Python's \w+, with every character above ASCII taken for a word character.
bool is_word(std::string_view text) {
  return !text.empty() && std::ranges::all_of(text, [](char c) {
           return is_ascii_alnum(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
         });
}

std::size_t code_points(std::string_view text) {
  return static_cast<std::size_t>(
      std::ranges::count_if(text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool is_comment(std::string_view line) {
  const std::string_view rest = python_strip(line);
  return !rest.empty() && rest.front() == '#';
}

bool is_blank(std::string_view line) { return python_strip(line).empty(); }

// The length of the ASCII identifier at the start of `text` (string.Template's).
std::size_t identifier_length(std::string_view text) {
  if (text.empty() || !(is_ascii_alnum(text[0]) || text[0] == '_') || (text[0] >= '0' && text[0] <= '9'))
    return 0;
  std::size_t n = 1;
  while (n < text.size() && (is_ascii_alnum(text[n]) || text[n] == '_')) ++n;
  return n;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

struct Action {
  LineAction line = LineAction::Next;
  RecordAction record = RecordAction::NoRecord;
  std::optional<std::string_view> target;  // a state, or an Error's message
};

std::size_t leading_space(std::string_view text) { return text.size() - python_lstrip(text).size(); }

bool is_target(std::string_view token) {
  return is_word(token) || (token.size() >= 2 && token.front() == '"' && token.back() == '"');
}

// "Next", "Continue.Record", "Clear", ...; false for anything else.
bool read_operations(std::string_view head, Action& action) {
  const std::size_t dot = head.find('.');
  if (const auto record = find_named(kRecordActions, head)) {
    action.record = *record;
    return true;
  }
  const auto line = find_named(kLineActions, head.substr(0, dot));
  if (!line) return false;
  action.line = *line;
  if (dot == std::string_view::npos) return true;
  const auto record = find_named(kRecordActions, head.substr(dot + 1));
  if (!record) return false;
  action.record = *record;
  return true;
}

// The text after "->", which starts with white space unless it is empty.
std::expected<Action, std::string> read_action(std::string_view text) {
  Action action;
  if (text.empty()) return action;
  const std::size_t space = leading_space(text);
  const std::string_view body = text.substr(space);
  const auto bad = std::unexpected("badly formatted action '" + std::string(python_strip(text)) +
                                   "' (expected [Next|Continue|Error][.Record|.NoRecord|.Clear|"
                                   ".Clearall] [State], after a blank)");
  if (space == 0) return bad;
  std::size_t head_end = 0;
  while (head_end < body.size() && leading_space(body.substr(head_end)) == 0) ++head_end;
  const std::string_view head = body.substr(0, head_end);
  const std::string_view rest = body.substr(head_end + leading_space(body.substr(head_end)));
  if (read_operations(head, action) && (rest.empty() || is_target(rest))) {
    if (!rest.empty()) action.target = rest;
    return action;
  }
  if (!is_target(body)) return bad;
  return Action{.target = body};
}

class Reader {
 public:
  explicit Reader(std::string_view text)
      : lines_(file_lines(text)), text_needs_check_(repaired_utf8(text).has_value()) {}

  std::expected<Tables, TemplateError> run() {
    for (std::size_t i = 0; text_needs_check_ && i < lines_.size(); ++i) {
      if (!is_valid_utf8(lines_[i])) return std::unexpected(TemplateError{i + 1, "not valid utf-8"});
    }
    if (auto read = values(); !read) return std::unexpected(read.error());
    if (auto read = states(); !read) return std::unexpected(read.error());
    if (auto read = resolve(); !read) return std::unexpected(read.error());
    return std::move(tables_);
  }

 private:
  using Step = std::expected<void, TemplateError>;

  struct Target {
    std::size_t state;
    std::size_t rule;
    std::string name;
  };

  static std::unexpected<TemplateError> fail(std::size_t line, std::string reason) {
    return std::unexpected(TemplateError{line, std::move(reason)});
  }

  Step values() {
    while (next_ < lines_.size()) {
      const std::string_view line = lines_[next_++];
      if (is_comment(line)) continue;
      if (is_blank(line)) return {};
      if (!line.starts_with("Value ")) {
        return fail(next_, tables_.values.empty()
                               ? "expected a Value line, or a blank line before the states"
                               : "expected a Value line, or a blank line after the last one");
      }
      if (auto read = value(python_strip(line), next_); !read) return read;
    }
    return {};
  }

  Step value(std::string_view line, std::size_t number) {
    const std::vector<std::string_view> tokens = split(line, ' ');
    if (tokens.size() < 3) return fail(number, "a Value line is: Value [Options] Name (regex)");
    const bool has_options = !tokens[2].starts_with('(');
    Value value{.line = number};
    std::vector<ValueOption> written;
    if (has_options) {
      for (const std::string_view option_name : split(tokens[1], ',')) {
        const auto option = value_option_named(option_name);
        if (!option) {
          return fail(number, "unknown option " + quoted(option_name) +
                                  " (options are Filldown, Key, Required, List, Fillup, "
                                  "joined by commas without blanks)");
        }
        const auto bit = static_cast<std::size_t>(*option);
        if (value.options.test(bit)) return fail(number, "option " + quoted(option_name) + " given twice");
        value.options.set(bit);
        written.push_back(*option);
      }
    }
    const std::size_t name_at = has_options ? 2 : 1;
    value.name = std::string(tokens[name_at]);
    if (code_points(value.name) > kMaxNameLength)
      return fail(number, "value name " + quoted(value.name) + " is longer than 48 characters");
    for (std::size_t i = name_at + 1; i < tokens.size(); ++i) {
      if (i > name_at + 1) value.pattern += ' ';
      value.pattern += tokens[i];
    }
    // The reference counts the ( and ) characters, escaped or in a set alike.
    if (!value.pattern.starts_with('(') || !value.pattern.ends_with(')') ||
        std::ranges::count(value.pattern, '(') != std::ranges::count(value.pattern, ')')) {
      return fail(number, "the regex of value " + quoted(value.name) +
                              " must be enclosed in ( and ), with as many ( as ) inside: " +
                              quoted(value.pattern));
    }
    auto alone = Regex::compile(value.pattern);
    if (!alone) {
      return fail(number, "invalid regex " + quoted(value.pattern) + " of value " + quoted(value.name) +
                              ": " + alone.error());
    }
    for (const Value& earlier : tables_.values) {
      if (earlier.name == value.name) {
        return fail(number, "value " + quoted(value.name) + " is declared twice (first at line " +
                                std::to_string(earlier.line) + ")");
      }
    }
    if (value.has(ValueOption::List) && !alone->named_groups().empty()) {
      tables_.max_groups = std::max(tables_.max_groups, alone->group_count());
      value.item_regex = std::move(*alone);
    }
    value.hooks = hooks_for(written);
    tables_.values.push_back(std::move(value));
    return {};
  }

  Step states() {
    while (next_ < lines_.size()) {
      const std::string_view line = lines_[next_++];
      if (is_comment(line) || is_blank(line)) continue;
      const std::string_view name = python_rstrip(line);
      if (find_named(kLineActions, name) || find_named(kRecordActions, name))
        return fail(next_, "an action's name cannot name a state: " + quoted(name));
      if (!is_word(name) || code_points(name) > kMaxNameLength) {
        if (line.find('^') != std::string_view::npos && leading_space(line) > 0)
          return fail(next_, "a rule outside any state (a blank line ends a state)");
        return fail(next_, "invalid state name " + quoted(name) +
                               " (letters, digits and _, at most 48 characters)");
      }
      for (const State& earlier : tables_.states) {
        if (earlier.name == name) return fail(next_, "state " + quoted(name) + " is declared twice");
      }
      tables_.states.push_back(State{std::string(name), {}, {}});
      if (auto read = rules(); !read) return read;
    }
    return {};
  }

  Step rules() {
    State& state = tables_.states.back();
    const auto dispatch = [&] {
      std::vector<LinePrefix> prefixes;
      for (const Rule& rule : state.rules) prefixes.push_back(rule.prefix);
      state.dispatch = RuleDispatch(prefixes);
    };
    while (next_ < lines_.size()) {
      const std::string_view line = lines_[next_++];
      if (is_comment(line)) continue;
      if (is_blank(line)) {
        dispatch();
        return {};
      }
      if (state.name == "End" || state.name == "EOF")
        return fail(next_, "the " + state.name + " state must have no rules");
      if (!(line.starts_with("  ^") || line.starts_with(" ^") || line.starts_with("\t^")))
        return fail(next_, "a rule starts with one or two spaces or a tab, then ^");
      if (auto read = rule(python_strip(line), next_); !read) return read;
    }
    dispatch();
    return {};
  }

  // `text`: the rule line without its surrounding blanks.
  Step rule(std::string_view text, std::size_t number) {
    // The action follows the last "->" that has a blank before it.
    std::string_view match = text;
    std::string_view action_text;
    for (std::size_t k = text.size() >= 2 ? text.size() - 2 : 0; k > 0; --k) {
      if (text.compare(k, 2, "->") != 0) continue;
      const std::size_t space = trailing_python_space(text.substr(0, k));
      if (space == 0) continue;
      match = text.substr(0, k - space);
      action_text = text.substr(k + 2);
      break;
    }
    const auto action = read_action(action_text);
    if (!action) return fail(number, action.error());
    // Without values the reference substitutes nothing: a $ stays a $.
    auto pattern = tables_.values.empty() ? std::string(match) : substitute(match);
    if (!pattern) return fail(number, pattern.error());
    Rule rule{.line = number};
    rule.line_action = action->line;
    rule.record_action = action->record;
    if (action->target && action->line == LineAction::Continue) {
      return fail(number, "a Continue rule cannot change the state (to " + quoted(*action->target) + ")");
    }
    if (action->target && action->line == LineAction::Error) {
      std::string_view message = *action->target;
      if (message.size() >= 2 && message.front() == '"') message = message.substr(1, message.size() - 2);
      rule.message = std::string(message);
    } else if (action->target) {
      targets_.push_back({tables_.states.size() - 1, tables_.states.back().rules.size(),
                          std::string(*action->target)});
    }
    auto regex = Regex::compile(*pattern);
    if (!regex) return fail(number, "invalid regex " + quoted(*pattern) + ": " + regex.error());
    for (const NamedGroup& group : regex->named_groups()) {
      for (std::size_t v = 0; v < tables_.values.size(); ++v) {
        if (tables_.values[v].name != group.name) continue;
        const bool list = tables_.values[v].has(ValueOption::List);
        rule.captures.push_back({v, group.number, list});
        rule.captures_list = rule.captures_list || list;
      }
    }
    tables_.max_groups = std::max(tables_.max_groups, regex->group_count());
    rule.prefix = regex->prefix();
    rule.regex = std::move(*regex);
    tables_.states.back().rules.push_back(std::move(rule));
    return {};
  }

  // The rule's regex with each ${Name}, $Name and $$ replaced.
  std::expected<std::string, std::string> substitute(std::string_view match) const {
    std::string out;
    for (std::size_t i = 0; i < match.size();) {
      if (match[i] != '$') {
        out += match[i++];
        continue;
      }
      const std::string_view rest = match.substr(i + 1);
      std::string_view name;
      if (rest.starts_with('$')) {
        out += '$';
        i += 2;
        continue;
      }
      if (rest.starts_with('{')) {
        const std::size_t n = identifier_length(rest.substr(1));
        if (n > 0 && rest.substr(1 + n).starts_with('}')) {
          name = rest.substr(1, n);
          i += n + 3;
        }
      } else if (const std::size_t n = identifier_length(rest)) {
        name = rest.substr(0, n);
        i += n + 1;
      }
      if (name.empty()) {
        return std::unexpected("a $ in a rule starts ${Name}, $Name or $$ (a literal $), in " +
                               quoted(match));
      }
      const auto value = std::ranges::find(tables_.values, name, &Value::name);
      if (value == tables_.values.end())
        return std::unexpected("no value named " + quoted(name) + " to substitute");
      out += "(?P<" + value->name + ">" + value->pattern.substr(1);
    }
    return out;
  }

  Step resolve() {
    const auto start = std::ranges::find(tables_.states, "Start", &State::name);
    if (start == tables_.states.end()) return fail(std::max<std::size_t>(lines_.size(), 1), "no Start state");
    tables_.start = static_cast<std::size_t>(start - tables_.states.begin());
    tables_.eof_declared = std::ranges::find(tables_.states, "EOF", &State::name) != tables_.states.end();
    for (const Target& target : targets_) {
      Rule& rule = tables_.states[target.state].rules[target.rule];
      if (target.name == "End") {
        rule.next_state = kEndState;
        continue;
      }
      if (target.name == "EOF") {
        rule.next_state = kEofState;
        continue;
      }
      const auto state = std::ranges::find(tables_.states, target.name, &State::name);
      if (state == tables_.states.end())
        return fail(rule.line, "state " + quoted(target.name) + " is not declared");
      rule.next_state = static_cast<std::size_t>(state - tables_.states.begin());
    }
    return {};
  }

  std::vector<std::string_view> lines_;
  bool text_needs_check_;  // not well-formed UTF-8 somewhere: find the line
  std::size_t next_ = 0;
  Tables tables_;
  std::vector<Target> targets_;
};

}  // namespace

std::expected<Tables, TemplateError> read_template(std::string_view text) { return Reader(text).run(); }

}  // namespace ov::parse
