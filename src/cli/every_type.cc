#include "cli/every_type.h"

#include <string>

#include "catalog/command_type.h"
#include "cli/output.h"

namespace ov::cli {

std::expected<EveryType, Exit> answer_every_type(const Catalog& catalog, const LookupKey& key,
                                                 std::string_view given_vendor) {
  EveryType answers;
  for (const CommandTypeName& name : kCommandTypes) {
    LookupOutcome outcome = classify_lookup(catalog, key.vendor, key.firmware, name.type);
    if (outcome.status == LookupStatus::UnknownVendor) {
      return std::unexpected(
          fail(Exit::Usage, outcome.reason + vendor_suggestion(catalog, given_vendor)));
    }
    if (outcome.status == LookupStatus::InvalidFirmware) {
      return std::unexpected(fail(Exit::Usage, outcome.reason));
    }
    if (outcome.status == LookupStatus::InvalidRange) ++answers.malformed;
    answers.outcomes.push_back(std::move(outcome));
  }
  return answers;
}

Exit after_every_type(const EveryType& answers, bool json) {
  const std::size_t n = answers.malformed;
  if (n == 0) return Exit::Ok;
  if (json) return Exit::Fault;
  return fail(Exit::Fault, "applies_to does not parse for " + std::to_string(n) +
                               (n == 1 ? " command type" : " command types"));
}

}  // namespace ov::cli
