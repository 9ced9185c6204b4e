#include "lookup/every_type.h"

#include <algorithm>

#include "catalog/command_type.h"
#include "lookup/user_names.h"

namespace ov {
namespace {

// Each text with its placeholders filled, or the names left without a value
// over all of them; the names no text uses are noted.
std::expected<void, Failure> fill_texts(const Settings& settings, TableAnswer& answer) {
  if (settings.empty()) return {};
  std::vector<std::string_view> stored;
  for (std::size_t i = 0; i < answer.outcomes.size(); ++i) {
    if (answer.outcomes[i].status == LookupStatus::Text) {
      stored.push_back(answer.outcomes[i].entry->cli);
    }
  }
  answer.unused_settings = settings.unused_in(stored);
  std::vector<std::string> missing;
  for (std::size_t i = 0; i < answer.outcomes.size(); ++i) {
    if (answer.outcomes[i].status != LookupStatus::Text) continue;
    auto filled = settings.fill(answer.texts[i]);
    if (filled) {
      answer.texts[i] = std::move(*filled);
      continue;
    }
    for (std::string& name : filled.error()) {
      if (std::ranges::find(missing, name) == missing.end()) missing.push_back(std::move(name));
    }
  }
  if (!missing.empty()) return std::unexpected(missing_placeholders(std::move(missing)));
  return {};
}

}  // namespace

std::expected<TableAnswer, Failure> answer_table(const Catalog& catalog, std::string_view vendor,
                                                 std::string_view firmware, bool exact_firmware,
                                                 const Settings& settings) {
  LookupKey key = lookup_key(catalog, vendor, firmware, exact_firmware);
  TableAnswer answer;
  answer.vendor = std::move(key.vendor);
  answer.firmware = firmware;
  answer.firmware_used = std::move(key.firmware);
  for (const CommandTypeName& name : kCommandTypes) {
    LookupOutcome outcome =
        classify_lookup(catalog, answer.vendor, answer.firmware_used, name.type);
    if (outcome.status == LookupStatus::UnknownVendor) {
      return std::unexpected(usage_failure(outcome.reason + vendor_suggestion(catalog, vendor)));
    }
    if (outcome.status == LookupStatus::InvalidFirmware) {
      return std::unexpected(usage_failure(outcome.reason));
    }
    if (outcome.status == LookupStatus::InvalidRange) ++answer.malformed;
    answer.texts.emplace_back(outcome.text());
    answer.outcomes.push_back(std::move(outcome));
  }
  if (auto filled = fill_texts(settings, answer); !filled) return std::unexpected(filled.error());
  return answer;
}

std::string malformed_ranges_message(std::size_t count) {
  return "applies_to does not parse for " + std::to_string(count) +
         (count == 1 ? " command type" : " command types");
}

}  // namespace ov
