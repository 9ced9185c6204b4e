#include "parse/record_builder.h"

#include <algorithm>

namespace ov::parse {
namespace {

void empty(Slot& slot) {
  slot.list_is_value = false;
  slot.text.reset();
  if (slot.items) slot.items->clear();
}

}  // namespace

RecordPlan record_plan(const std::vector<Value>& values) {
  RecordPlan plan;
  for (std::size_t v = 0; v < values.size(); ++v) {
    const Value& value = values[v];
    plan.columns.push_back({value.has(ValueOption::List), value.hooks.kept_by_clear, value.item_regex.has_value(),
                            !value.hooks.on_assign.empty()});
    for (const SaveStep& step : value.hooks.on_save) plan.save_steps.emplace_back(v, step);
  }
  return plan;
}

RecordBuilder::RecordBuilder(const std::vector<Value>& values, const RecordPlan& plan)
    : values_(values), columns_(plan.columns), save_steps_(plan.save_steps), slots_(values.size()),
      saved_(values.size()) {
  for (std::size_t v = 0; v < values.size(); ++v) {
    if (columns_[v].list) slots_[v].items.emplace();
  }
}

void RecordBuilder::assign(std::size_t value, std::optional<std::string_view> text, ListItem&& item) {
  Slot& slot = slots_[value];
  slot.list_is_value = false;
  slot.text = text;
  if (!columns_[value].assign_hooks) return;
  const Assignment assignment{slot, text, item, saved_, value};
  for (const auto on_assign : values_[value].hooks.on_assign) on_assign(assignment);
}

// A value that Clear forgets gives up its items to the record.
Field RecordBuilder::take_field(std::size_t value) {
  Slot& slot = slots_[value];
  const bool keep = columns_[value].kept;
  const auto text = [](const ListItem& item) { return std::holds_alternative<std::string_view>(item); };
  if (columns_[value].groups || !std::ranges::all_of(*slot.items, text)) {
    return keep ? *slot.items : std::move(*slot.items);
  }
  std::vector<std::string_view> texts;
  texts.reserve(slot.items->size());
  for (const ListItem& item : *slot.items) texts.push_back(std::get<std::string_view>(item));
  return texts;
}

void RecordBuilder::save() {
  for (const auto& [v, step] : save_steps_) {
    if (step.on_save != nullptr) step.on_save(slots_[v]);
    if (step.allows_save == nullptr || step.allows_save(slots_[v])) continue;
    clear();
    return;
  }
  if (std::ranges::all_of(slots_, &Slot::unset)) return;
  // Texts are written into the row's empty texts: most values of most records are texts.
  const std::span<Field> record = saved_.add();
  for (std::size_t v = 0; v < slots_.size(); ++v) {
    if (columns_[v].list) {
      record[v] = take_field(v);
    } else if (const auto& text = slots_[v].text) {
      record[v] = *text;
    }
  }
  clear();
}

void RecordBuilder::clear() {
  for (std::size_t v = 0; v < slots_.size(); ++v) {
    if (!columns_[v].kept) empty(slots_[v]);
  }
}

void RecordBuilder::clear_all() {
  for (Slot& slot : slots_) empty(slot);
}

}  // namespace ov::parse
