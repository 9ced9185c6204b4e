#include "parse/record_builder.h"

#include <algorithm>

namespace ov::parse {
namespace {

Slot empty_slot(const Value& value) {
  Slot slot;
  if (value.has(ValueOption::List)) slot.items.emplace();
  return slot;
}

void empty(Slot& slot) {
  slot.list_is_value = false;
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
  slot.list_is_value = false;
  slot.text = text;
  const Assignment assignment{slot, text, item, saved_, value};
  for (const auto on_assign : values_[value].hooks.on_assign) on_assign(assignment);
}

// A value that Clear forgets gives up its items to the record.
Field RecordBuilder::take_field(std::size_t value) {
  Slot& slot = slots_[value];
  const bool keep = values_[value].hooks.kept_by_clear;
  if (!slot.items) return slot.text ? std::string(*slot.text) : std::string();
  const auto text = [](const ListItem& item) { return std::holds_alternative<std::string>(item); };
  if (values_[value].item_regex || !std::ranges::all_of(*slot.items, text)) {
    return keep ? *slot.items : std::move(*slot.items);
  }
  std::vector<std::string> texts;
  texts.reserve(slot.items->size());
  for (ListItem& item : *slot.items) {
    auto& one = std::get<std::string>(item);
    texts.push_back(keep ? one : std::move(one));
  }
  return texts;
}

void RecordBuilder::save() {
  for (std::size_t v = 0; v < values_.size(); ++v) {
    for (const SaveStep& step : values_[v].hooks.on_save) {
      if (step.on_save != nullptr) step.on_save(slots_[v]);
      if (step.allows_save == nullptr || step.allows_save(slots_[v])) continue;
      clear();
      return;
    }
  }
  if (std::ranges::all_of(slots_, &Slot::unset)) return;
  std::vector<Field> record;
  record.reserve(values_.size());
  for (std::size_t v = 0; v < values_.size(); ++v) record.push_back(take_field(v));
  saved_.push_back(std::move(record));
  clear();
}

void RecordBuilder::clear() {
  for (std::size_t v = 0; v < values_.size(); ++v) {
    if (!values_[v].hooks.kept_by_clear) empty(slots_[v]);
  }
}

void RecordBuilder::clear_all() {
  for (Slot& slot : slots_) empty(slot);
}

}  // namespace ov::parse
