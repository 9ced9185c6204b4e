#include "parse/record_builder.h"

#include <algorithm>

namespace ov::parse {
namespace {

template <class Moment>
bool any_option(const Value& value, Moment moment) {
  for (const OptionBehaviour& row : option_behaviours()) {
    if (value.has(row.option) && moment(row)) return true;
  }
  return false;
}

Slot empty_slot(const Value& value) {
  Slot slot;
  if (value.has(ValueOption::List)) slot.items.emplace();
  return slot;
}

void empty(Slot& slot) {
  slot.text.reset();
  if (slot.items) slot.items->clear();
}

}  // namespace

RecordBuilder::RecordBuilder(const std::vector<Value>& values) : values_(values) {
  slots_.reserve(values.size());
  for (const Value& value : values) slots_.push_back(empty_slot(value));
}

void RecordBuilder::assign(std::size_t value, std::optional<std::string_view> text, ListItem item) {
  Slot& slot = slots_[value];
  if (!text) {
    slot.text.reset();
  } else if (slot.text) {
    slot.text->assign(*text);  // keeps the string's storage
  } else {
    slot.text.emplace(*text);
  }
  const Assignment assignment{slot, text, item, saved_, value};
  for (const OptionBehaviour& row : option_behaviours()) {
    if (row.on_assign != nullptr && values_[value].has(row.option)) row.on_assign(assignment);
  }
}

Field RecordBuilder::field(std::size_t value) const {
  const Slot& slot = slots_[value];
  if (!slot.items) return slot.text.value_or("");
  const auto text = [](const ListItem& item) { return std::holds_alternative<std::string>(item); };
  if (values_[value].item_regex || !std::ranges::all_of(*slot.items, text)) return *slot.items;
  std::vector<std::string> texts;
  texts.reserve(slot.items->size());
  for (const ListItem& item : *slot.items) texts.push_back(std::get<std::string>(item));
  return texts;
}

void RecordBuilder::save() {
  for (std::size_t v = 0; v < values_.size(); ++v) {
    const bool refused = any_option(values_[v], [&](const OptionBehaviour& row) {
      return row.allows_save != nullptr && !row.allows_save(slots_[v]);
    });
    if (refused) {
      clear();
      return;
    }
  }
  if (std::ranges::all_of(slots_, &Slot::unset)) return;
  std::vector<Field> record;
  record.reserve(values_.size());
  for (std::size_t v = 0; v < values_.size(); ++v) record.push_back(field(v));
  saved_.push_back(std::move(record));
  clear();
}

void RecordBuilder::clear() {
  for (std::size_t v = 0; v < values_.size(); ++v) {
    if (any_option(values_[v], [](const OptionBehaviour& row) { return row.kept_by_clear; })) continue;
    empty(slots_[v]);
  }
}

void RecordBuilder::clear_all() {
  for (Slot& slot : slots_) empty(slot);
}

}  // namespace ov::parse
