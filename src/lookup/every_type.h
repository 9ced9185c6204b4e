// The catalog's answer for each of the 25 command types, or those chosen, on
// one vendor's firmware, as `table` and `plan` need them.
#pragma once

#include <cstddef>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "catalog/catalog.h"
#include "catalog/lookup.h"
#include "lookup/placeholders.h"

namespace ov {

struct TableAnswer {
  std::string vendor;                   // the catalog's identifier
  std::string firmware;                 // as given
  std::string firmware_used;            // as looked up
  std::vector<CommandType> types;       // those answered, in the order of the command types
  std::vector<LookupOutcome> outcomes;  // one per type
  // Per outcome: the text, its placeholders filled when values were given,
  // or the reason there is none.
  std::vector<std::string> texts;
  std::size_t malformed = 0;  // how many are InvalidRange
  // The names given values that no stored text of the table uses.
  std::vector<std::string> unused_settings;
};

// Refuses (Usage) an unknown vendor, with the closest names, and a firmware
// that does not read: either fails every type. With any value given, the
// placeholders left without one, over all the texts, fail it (MissingValue).
std::expected<TableAnswer, Failure> answer_table(const Catalog& catalog, std::string_view vendor,
                                                 std::string_view firmware, bool exact_firmware,
                                                 const Settings& settings);
// The same for `types` alone (in the order of the command types, each once);
// only their texts need values.
std::expected<TableAnswer, Failure> answer_table(const Catalog& catalog, std::string_view vendor,
                                                 std::string_view firmware, bool exact_firmware,
                                                 const Settings& settings,
                                                 std::span<const CommandType> types);

// The command types of `names` (YAML names, as --command gives them), each
// once, in the order of the command types; every type for none. Refuses
// (Usage) an unknown name as unknown_command_type does.
std::expected<std::vector<CommandType>, Failure> select_command_types(
    std::span<const std::string> names);

// "applies_to does not parse for 2 command types".
std::string malformed_ranges_message(std::size_t count);

}  // namespace ov
