// The catalog's answer for each of the 25 command types on one vendor's
// firmware, as `table` and `plan` need them.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "catalog/catalog.h"
#include "catalog/lookup.h"
#include "lookup/placeholders.h"

namespace ov {

struct TableAnswer {
  std::string vendor;         // the catalog's identifier
  std::string firmware;       // as given
  std::string firmware_used;  // as looked up
  std::vector<LookupOutcome> outcomes;  // in the order of the command types
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

// "applies_to does not parse for 2 command types".
std::string malformed_ranges_message(std::size_t count);

}  // namespace ov
