// The record being built and the records saved, with the moments a template's
// actions bring: a value assigned, the record saved, the values cleared. Each
// Value option acts at these moments through its row in value_options.h.
#pragma once

#include <vector>

#include "parse/tables.h"

namespace ov::parse {

// The plan of records of `values`, read once per template.
RecordPlan record_plan(const std::vector<Value>& values);

class RecordBuilder {
 public:
  // `plan`: record_plan(values).
  RecordBuilder(const std::vector<Value>& values, const RecordPlan& plan);

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
  Field take_field(std::size_t value);

  const std::vector<Value>& values_;
  const std::vector<ValueColumn>& columns_;
  const std::vector<std::pair<std::size_t, SaveStep>>& save_steps_;
  std::vector<Slot> slots_;
  Records saved_;
};

}  // namespace ov::parse
