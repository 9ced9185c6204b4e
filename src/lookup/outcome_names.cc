#include "lookup/outcome_names.h"

#include "base/enum_table.h"

namespace ov {

static_assert(indexed_by_enum(kOutcomeNames, &OutcomeName::status),
              "kOutcomeNames must list the statuses in declaration order");

std::string_view outcome_name(LookupStatus status) {
  return kOutcomeNames[static_cast<std::size_t>(status)].name;
}

}  // namespace ov
