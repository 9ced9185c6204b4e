// The record being built and the records saved, with the moments a template's
// actions bring: a value assigned, the record saved, the values cleared. Each
// Value option acts at these moments through its row in value_options.h.
#pragma once

#include <utility>
#include <vector>

#include "parse/tables.h"

namespace ov::parse {

class RecordBuilder {
 public:
  explicit RecordBuilder(const std::vector<Value>& values);

  // Value `value` takes `text`, or is unset by nothing; `item` is what a List
  // appends (taken). `text` must outlive the builder (it views the input).
  void assign(std::size_t value, std::optional<std::string_view> text, ListItem&& item);

  // The same for a value without the List option, which appends nothing.
  // Inline: most groups of most rules are such values.
  void assign(std::size_t value, std::optional<std::string_view> text) {
    if (columns_[value].assign_hooks) return assign(value, text, std::monostate{});
    slots_[value].list_is_value = false;
    slots_[value].text = text;
  }

  // Record: saves the record unless an option forbids it or no value is set,
  // then clears it as Clear does.
  void save();

  // Clear: forgets the values, but those whose options keep them.
  void clear();

  // Clearall: forgets every value.
  void clear_all();

  Records take_records() { return std::move(saved_); }

 private:
  // What saving and clearing ask of a value, read once from its options so
  // that the loops over every value stay in one small table.
  struct Column {
    bool list = false;          // holds items
    bool kept = false;          // survives Clear
    bool groups = false;        // a List whose regex names groups: its items stay items
    bool assign_hooks = false;  // an option acts on each assignment
  };

  Field take_field(std::size_t value);

  const std::vector<Value>& values_;
  std::vector<Slot> slots_;
  std::vector<Column> columns_;
  // What the options do as a record is saved, value by value, in one short
  // list: the values themselves are large, and most have no such step.
  std::vector<std::pair<std::size_t, SaveStep>> save_steps_;
  Records saved_;
};

}  // namespace ov::parse
