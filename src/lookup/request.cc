#include "lookup/request.h"

#include "catalog/command_type.h"
#include "lookup/user_names.h"

namespace ov {

Failure unknown_command_type(std::string_view given) {
  return usage_failure(unknown_command_name_message(given) + command_type_suggestion(given));
}

std::optional<Failure> refusal(const Catalog& catalog, std::string_view given_vendor,
                               const LookupOutcome& outcome) {
  if (outcome.status == LookupStatus::UnknownVendor) {
    return usage_failure(outcome.reason + vendor_suggestion(catalog, given_vendor));
  }
  if (outcome.status == LookupStatus::InvalidFirmware) return usage_failure(outcome.reason);
  return std::nullopt;
}

std::expected<LookupAnswer, Failure> answer_lookup(const Catalog& catalog, const LookupQuery& query,
                                                   const Settings& settings) {
  // The command type is checked first, as Catalog.cli does, so a misspelt
  // name is reported whatever the vendor.
  const auto command = find_command_type(query.command);
  if (!command) return std::unexpected(unknown_command_type(query.command));
  LookupKey key = lookup_key(catalog, query.vendor, query.firmware, query.exact_firmware);
  LookupOutcome outcome = classify_lookup(catalog, key.vendor, key.firmware, *command);
  if (auto refused = refusal(catalog, query.vendor, outcome)) return std::unexpected(*refused);
  std::string cli;
  std::vector<std::string> unused;
  if (outcome.status == LookupStatus::Text) {
    cli = outcome.entry->cli;
    if (!settings.empty()) {
      auto filled = settings.fill(cli);
      if (!filled) return std::unexpected(missing_placeholders(std::move(filled.error())));
      const std::string_view stored[] = {outcome.entry->cli};
      unused = settings.unused_in(stored);
      cli = std::move(*filled);
    }
  }
  return LookupAnswer{std::move(key.vendor),   std::string(query.firmware),
                      std::move(key.firmware), *command,
                      std::move(outcome),      std::move(cli),
                      std::move(unused)};
}

}  // namespace ov
