#include "cli/outcome_table.h"

#include "base/enum_table.h"

namespace ov::cli {

static_assert(indexed_by_enum(kOutcomes, &OutcomeInfo::status),
              "kOutcomes must list the statuses in declaration order");

const OutcomeInfo& info(LookupStatus status) { return kOutcomes[static_cast<std::size_t>(status)]; }

}  // namespace ov::cli
