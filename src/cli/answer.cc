#include "cli/answer.h"

#include <variant>

#include "base/enum_table.h"
#include "catalog/lookup.h"

namespace ov::cli {
namespace {

Outcome outcome_of(const CatalogError& error) {
  using namespace catalog_error;
  struct Kind {
    Outcome operator()(const UnknownVendor&) const { return Outcome::UnknownVendor; }
    Outcome operator()(const InvalidFirmware&) const { return Outcome::InvalidFirmware; }
    Outcome operator()(const InvalidRange&) const { return Outcome::InvalidRange; }
    Outcome operator()(const NoEntry&) const { return Outcome::NoEntry; }
    Outcome operator()(const NotSupported&) const { return Outcome::NotSupported; }
    // A lookup never loads files; these cannot come from it.
    Outcome operator()(const Parse&) const { return Outcome::InvalidRange; }
    Outcome operator()(const Io&) const { return Outcome::InvalidRange; }
  };
  return std::visit(Kind{}, error.detail);
}

}  // namespace

Answer answer(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
              CommandType command) {
  const auto found = lookup_command(catalog, vendor, firmware, command);
  if (!found) return {outcome_of(found.error()), found.error().message()};
  if (*found == nullptr) {
    return {Outcome::NoBlock, no_block_message(vendor, command)};
  }
  return {Outcome::Text, (*found)->cli};
}

static_assert(indexed_by_enum(kOutcomes, &OutcomeInfo::outcome),
              "kOutcomes must list the outcomes in declaration order");

const OutcomeInfo& info(Outcome outcome) { return kOutcomes[static_cast<std::size_t>(outcome)]; }

}  // namespace ov::cli
