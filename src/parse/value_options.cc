#include "parse/value_options.h"

#include "base/enum_table.h"

namespace ov::parse {
namespace {

bool field_empty(const Field& field) {
  return std::visit([](const auto& f) { return f.empty(); }, field);
}

void append_item(const Assignment& a) { a.slot.items->push_back(a.item); }

// The text climbs into the records saved before, as far as their column is empty.
void fill_up(const Assignment& a) {
  if (!a.text) return;
  for (auto record = a.saved.rbegin(); record != a.saved.rend(); ++record) {
    Field& field = (*record)[a.column];
    if (!field_empty(field)) break;
    field = std::string(*a.text);
  }
}

bool holds_content(const Slot& slot) {
  return slot.items ? !slot.items->empty() : slot.text && !slot.text->empty();
}

constexpr std::array<OptionBehaviour, kValueOptionCount> kBehaviours{{
    {ValueOption::Filldown, "Filldown", nullptr, nullptr, true},
    {ValueOption::Key, "Key", nullptr, nullptr, false},
    {ValueOption::Required, "Required", nullptr, holds_content, false},
    {ValueOption::List, "List", append_item, nullptr, false},
    {ValueOption::Fillup, "Fillup", fill_up, nullptr, false},
}};
static_assert(indexed_by_enum(kBehaviours, &OptionBehaviour::option));

}  // namespace

const std::array<OptionBehaviour, kValueOptionCount>& option_behaviours() { return kBehaviours; }

std::optional<ValueOption> value_option_named(std::string_view name) {
  for (const OptionBehaviour& row : kBehaviours) {
    if (row.name == name) return row.option;
  }
  return std::nullopt;
}

}  // namespace ov::parse
