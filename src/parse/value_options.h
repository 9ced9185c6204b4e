// The Value options, each a behaviour attached to the moments of a record's
// life: a value assigned, the record saved, the values cleared.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parse/template.h"

namespace ov::parse {

enum class ValueOption : std::uint8_t { Filldown, Key, Required, List, Fillup };
inline constexpr std::size_t kValueOptionCount = 5;
using ValueOptions = std::bitset<kValueOptionCount>;

// One value of the record being built. A List value always holds its items
// (empty until assigned); any other value holds its text once assigned, a
// view of the input being parsed, copied only into the records saved.
struct Slot {
  std::optional<std::string_view> text;
  std::optional<std::vector<ListItem>> items;
  // The reference's own value of a List is its last text until a save makes
  // it the list: a check written before List sees the text, one after it
  // the list. True from such a save until the next assignment or clearing.
  bool list_is_value = false;

  // Unset: an empty List, or no text ("" is a text).
  bool unset() const { return items ? items->empty() : !text; }
};

// A value has just taken `text` (nothing when its group took no part in the
// rule's match), and for a List, `item`.
struct Assignment {
  Slot& slot;
  std::optional<std::string_view> text;
  ListItem& item;  // the List's to take
  Records& saved;  // the records saved so far
  std::size_t column;
};

struct OptionBehaviour {
  ValueOption option;
  std::string_view name;
  void (*on_assign)(const Assignment&);  // nullptr: nothing more to do
  void (*on_save)(Slot&);                // nullptr: nothing to do as the record is saved
  bool (*allows_save)(const Slot&);      // nullptr: never stops a record
  bool kept_by_clear;                    // survives Clear and Record (not Clearall)
};

// A row per option, indexed by the option.
const std::array<OptionBehaviour, kValueOptionCount>& option_behaviours();

// What happens to one value as its record is saved, option by option in the
// order the template wrote them (the order the reference applies them in).
struct SaveStep {
  void (*on_save)(Slot&);
  bool (*allows_save)(const Slot&);
};

// The behaviours of one value's options, gathered once from the rows.
struct ValueHooks {
  std::vector<void (*)(const Assignment&)> on_assign;
  std::vector<SaveStep> on_save;
  bool kept_by_clear = false;
};

// `written`: the value's options in the template's order.
ValueHooks hooks_for(const std::vector<ValueOption>& written);

// What saving and clearing ask of one value, read once from its options.
struct ValueColumn {
  bool list = false;          // holds items
  bool kept = false;          // survives Clear
  bool groups = false;        // a List whose regex names groups: its items stay items
  bool assign_hooks = false;  // an option acts on each assignment
};

// The same for all the values of a template, read once with it, so that
// the loops over every value of every record stay in small tables.
struct RecordPlan {
  std::vector<ValueColumn> columns;
  // What the options do as a record is saved, value by value: the values
  // themselves are large, and most have no such step.
  std::vector<std::pair<std::size_t, SaveStep>> save_steps;
};

std::optional<ValueOption> value_option_named(std::string_view name);

}  // namespace ov::parse
