#include "parse/value_options.h"

#include "base/enum_table.h"

namespace ov::parse {
namespace {

bool field_empty(const Field& field) {
  return std::visit([](const auto& f) { return f.empty(); }, field);
}

void append_item(const Assignment& a) { a.slot.items->push_back(std::move(a.item)); }

void list_becomes_value(Slot& slot) { slot.list_is_value = true; }

// The text climbs into the records saved before, as far as their column is
// empty; an empty text climbs nowhere.
void fill_up(const Assignment& a) {
  if (!a.text || a.text->empty()) return;
  for (std::size_t row = a.saved.size(); row-- > 0;) {
    Field& field = a.saved[row][a.column];
    if (!field_empty(field)) break;
    field = *a.text;
  }
}

bool holds_content(const Slot& slot) {
  return slot.list_is_value ? !slot.items->empty() : slot.text && !slot.text->empty();
}

constexpr std::array<OptionBehaviour, kValueOptionCount> kBehaviours{{
    {ValueOption::Filldown, "Filldown", nullptr, nullptr, nullptr, true},
    {ValueOption::Key, "Key", nullptr, nullptr, nullptr, false},
    {ValueOption::Required, "Required", nullptr, nullptr, holds_content, false},
    {ValueOption::List, "List", append_item, list_becomes_value, nullptr, false},
    {ValueOption::Fillup, "Fillup", fill_up, nullptr, nullptr, false},
}};
static_assert(indexed_by_enum(kBehaviours, &OptionBehaviour::option));

}  // namespace

const std::array<OptionBehaviour, kValueOptionCount>& option_behaviours() { return kBehaviours; }

ValueHooks hooks_for(const std::vector<ValueOption>& written) {
  ValueHooks hooks;
  for (const ValueOption option : written) {
    const OptionBehaviour& row = kBehaviours[static_cast<std::size_t>(option)];
    if (row.on_assign != nullptr) hooks.on_assign.push_back(row.on_assign);
    if (row.on_save != nullptr || row.allows_save != nullptr) hooks.on_save.push_back({row.on_save, row.allows_save});
    hooks.kept_by_clear = hooks.kept_by_clear || row.kept_by_clear;
  }
  return hooks;
}

std::optional<ValueOption> value_option_named(std::string_view name) {
  for (const OptionBehaviour& row : kBehaviours) {
    if (row.name == name) return row.option;
  }
  return std::nullopt;
}

}  // namespace ov::parse
