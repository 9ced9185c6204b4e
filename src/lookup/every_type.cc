#include "lookup/every_type.h"

#include <algorithm>
#include <array>

#include "catalog/command_type.h"
#include "lookup/request.h"
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
  return answer_table(catalog, vendor, firmware, exact_firmware, settings,
                      *select_command_types({}));
}

std::expected<TableAnswer, Failure> answer_table(const Catalog& catalog, std::string_view vendor,
                                                 std::string_view firmware, bool exact_firmware,
                                                 const Settings& settings,
                                                 std::span<const CommandType> types) {
  LookupKey key = lookup_key(catalog, vendor, firmware, exact_firmware);
  TableAnswer answer;
  answer.vendor = std::move(key.vendor);
  answer.firmware = firmware;
  answer.firmware_used = std::move(key.firmware);
  // Vendor and firmware are judged even when no type is asked for.
  const LookupOutcome judged =
      classify_lookup(catalog, answer.vendor, answer.firmware_used, CommandType{});
  if (auto refused = refusal(catalog, vendor, judged)) return std::unexpected(*refused);
  for (const CommandType type : types) {
    LookupOutcome outcome = classify_lookup(catalog, answer.vendor, answer.firmware_used, type);
    if (outcome.status == LookupStatus::InvalidRange) ++answer.malformed;
    answer.texts.emplace_back(outcome.text());
    answer.types.push_back(type);
    answer.outcomes.push_back(std::move(outcome));
  }
  if (auto filled = fill_texts(settings, answer); !filled) return std::unexpected(filled.error());
  return answer;
}

std::expected<std::vector<CommandType>, Failure> select_command_types(
    std::span<const std::string> names) {
  std::array<bool, kCommandTypeCount> chosen{};
  for (const std::string& name : names) {
    const auto type = find_command_type(name);
    if (!type) return std::unexpected(unknown_command_type(name));
    chosen[ordinal(*type)] = true;
  }
  std::vector<CommandType> types;
  for (const CommandTypeName& name : kCommandTypes) {
    if (names.empty() || chosen[ordinal(name.type)]) types.push_back(name.type);
  }
  return types;
}

std::string malformed_ranges_message(std::size_t count) {
  return "applies_to does not parse for " + std::to_string(count) +
         (count == 1 ? " command type" : " command types");
}

}  // namespace ov
