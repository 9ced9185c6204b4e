#include "parse/template.h"

#include <bit>

#include "parse/python_text.h"
#include "parse/record_builder.h"
#include "parse/tables.h"

namespace ov::parse {

std::string TemplateError::message() const {
  return "template line " + std::to_string(line) + ": " + reason;
}

std::string ParseError::message() const {
  return "template line " + std::to_string(template_line) + ", input line " +
         std::to_string(input_line) + ": " + reason;
}

std::expected<Template, TemplateError> Template::compile(std::string_view text) {
  auto tables = read_template(text);
  if (!tables) return std::unexpected(std::move(tables.error()));
  Template compiled;
  for (const Value& value : tables->values) compiled.header_.push_back(value.name);
  tables->plan = record_plan(tables->values);
  compiled.tables_ = std::make_shared<const Tables>(std::move(*tables));
  return compiled;
}

namespace {

std::string error_action_reason(const Rule& rule) {
  if (rule.message.empty()) return "the rule's Error action was taken";
  return "the rule's Error action was taken: " + rule.message;
}

// What a List value appends: nothing for no text, the groups of its own
// regex matched on `text` alone, or `text` when the regex names no group or
// does not match.
std::expected<ListItem, std::string> list_item(const Value& value,
                                               std::optional<std::string_view> text,
                                               MatchScratch& scratch, Subjects subjects) {
  if (!text) return std::monostate{};
  if (!value.item_regex) return *text;
  const auto matched = scratch.match(*value.item_regex, *text, subjects);
  if (!matched) return std::unexpected(matched.error());
  if (!*matched) return *text;
  Groups groups;
  for (const NamedGroup& group : value.item_regex->named_groups()) {
    const auto part = scratch.group(group.number);
    groups.emplace_back(group.name, part ? std::optional<std::string>(*part) : std::nullopt);
  }
  return groups;
}

}  // namespace

std::expected<ParseResult, ParseError> Template::parse(std::string_view input) const {
  const Tables& tables = *tables_;
  // Lines of an ASCII input match with the patterns' faster ASCII twins.
  const bool ascii = is_ascii(input);
  std::optional<std::string> repaired = ascii ? std::nullopt : repaired_utf8(input);
  // The records view their texts in a copy of the input (repaired, if it had to be) that they keep.
  const auto source = std::make_shared<const std::string>(repaired ? std::move(*repaired) : std::string(input));
  input = *source;

  MatchScratch scratch(tables.max_groups);
  RecordBuilder record(tables.values, tables.plan);
  ParseResult result;
  std::size_t state = tables.start;
  std::size_t number = 0;
  // The groups' texts of one match, read before a List's own match reuses the scratch.
  std::vector<std::pair<const Capture*, std::optional<std::string_view>>> taken;
  for (std::string_view rest = input; const auto next_line = next_python_line(rest);) {
    const std::string_view line = *next_line;
    ++number;
    const auto failure = [&](const Rule& rule, std::string reason) {
      return std::unexpected(ParseError{rule.line, number, std::move(reason)});
    };
    bool read = false;
    std::size_t next = kSameState;
    const State& current = tables.states[state];
    const Subjects subjects = ascii || is_ascii(line) ? Subjects::Ascii : Subjects::Unicode;
    const bool every = current.dispatch.all();
    const std::size_t blanks = ascii_blanks(line);
    std::uint64_t candidates = every ? 0 : current.dispatch.candidates(line, blanks);
    for (std::size_t r = 0; r < current.rules.size(); ++r) {
      if (!every) {
        if (candidates == 0) break;
        r = static_cast<std::size_t>(std::countr_zero(candidates));
        candidates &= candidates - 1;
      }
      const Rule& rule = current.rules[r];
      if (!may_match(rule.prefix, line, blanks)) continue;
      const auto matched = scratch.match(rule.regex, line, subjects);
      if (!matched) return failure(rule, matched.error());
      if (!*matched) continue;
      read = true;
      // A group that took no part unsets its value, as in the reference.
      if (!rule.captures_list) {
        for (const Capture& capture : rule.captures) record.assign(capture.value, scratch.group(capture.group));
      } else {
        taken.clear();
        for (const Capture& capture : rule.captures) taken.emplace_back(&capture, scratch.group(capture.group));
        for (const auto& [capture, text] : taken) {
          if (!capture->list) {
            record.assign(capture->value, text);
            continue;
          }
          auto item = list_item(tables.values[capture->value], text, scratch, subjects);
          if (!item) return failure(rule, item.error());
          record.assign(capture->value, text, std::move(*item));
        }
      }
      if (rule.line_action == LineAction::Error) return failure(rule, error_action_reason(rule));
      switch (rule.record_action) {
        case RecordAction::NoRecord: break;
        case RecordAction::Record: record.save(); break;
        case RecordAction::Clear: record.clear(); break;
        case RecordAction::Clearall: record.clear_all(); break;
      }
      next = rule.next_state;
      if (rule.line_action == LineAction::Next) break;
    }
    if (!read) result.unread.push_back({number, std::string(line)});
    if (next == kEndState || next == kEofState) {
      state = next;
      break;
    }
    if (next != kSameState) state = next;
  }
  if (state != kEndState && !tables.eof_declared) record.save();
  result.records = record.take_records();
  result.records.keep(source);
  return result;
}

}  // namespace ov::parse
