// The catalog's answer for each of the 25 command types on one vendor's
// firmware, as `table` and `plan` need them.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/lookup.h"
#include "cli/exit_status.h"
#include "cli/user_names.h"

namespace ov::cli {

struct EveryType {
  std::vector<LookupOutcome> outcomes;  // in the order of the command types
  std::size_t malformed = 0;            // how many are InvalidRange
};

// The outcomes, or the usage status once the refusal of the vendor (with
// suggestions for `given_vendor`) or of the firmware was said: either fails
// every type, and no answer is worth printing.
std::expected<EveryType, Exit> answer_every_type(const Catalog& catalog, const LookupKey& key,
                                                 std::string_view given_vendor);

// The status after the answers were printed: Fault when a range was malformed,
// said on stderr unless under --json, where the rows said it already.
Exit after_every_type(const EveryType& answers, bool json);

}  // namespace ov::cli
