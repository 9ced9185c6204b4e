#include "catalog/lookup.h"

#include <string>
#include <variant>

#include "catalog/firmware_version.h"
#include "catalog/version_range.h"

namespace ov {

std::string no_block_message(std::string_view vendor, CommandType command) {
  return "no entry for " + std::string(vendor) + " " + std::string(display_name(command));
}

std::expected<const CommandEntry*, CatalogError> lookup_command(const Catalog& catalog,
                                                                std::string_view vendor,
                                                                std::string_view firmware,
                                                                CommandType command) {
  const VendorFile* file = catalog.find(vendor);
  if (file == nullptr) {
    return std::unexpected(CatalogError{catalog_error::UnknownVendor{std::string(vendor)}});
  }
  // Parsed before the block is searched, so a bad firmware is reported even
  // for a command that the vendor lacks.
  const auto version = FirmwareVersion::parse(firmware);
  if (!version) return std::unexpected(version.error());

  const CommandBlock* block = file->first_block(command);
  if (block == nullptr) return nullptr;

  const CommandEntry* choice = nullptr;
  std::size_t best = 0;
  for (const auto& entry : block->versions) {
    // Every entry of the block is checked: a malformed range fails the lookup
    // even when another entry matches.
    if (!entry.range) return std::unexpected(entry.range.error());
    if (!entry.range->matches(*version)) continue;
    const std::size_t specificity = entry.range->specificity();
    if (choice == nullptr || specificity > best) {
      choice = &entry;
      best = specificity;
    }
  }

  if (choice == nullptr) {
    return std::unexpected(
        CatalogError{catalog_error::NoEntry{std::string(vendor), std::string(firmware), command}});
  }
  if (choice->cli == kNotSupported) {
    return std::unexpected(CatalogError{catalog_error::NotSupported{
        command, std::string(vendor), choice->notes.value_or(std::string())}});
  }
  return choice;
}

namespace {

LookupStatus status_of(const CatalogError& error) {
  using namespace catalog_error;
  struct Kind {
    LookupStatus operator()(const UnknownVendor&) const { return LookupStatus::UnknownVendor; }
    LookupStatus operator()(const InvalidFirmware&) const { return LookupStatus::InvalidFirmware; }
    LookupStatus operator()(const InvalidRange&) const { return LookupStatus::InvalidRange; }
    LookupStatus operator()(const NoEntry&) const { return LookupStatus::NoEntry; }
    LookupStatus operator()(const NotSupported&) const { return LookupStatus::NotSupported; }
    // A lookup never loads files; these cannot come from it.
    LookupStatus operator()(const Parse&) const { return LookupStatus::InvalidRange; }
    LookupStatus operator()(const Io&) const { return LookupStatus::InvalidRange; }
  };
  return std::visit(Kind{}, error.detail);
}

}  // namespace

LookupOutcome classify_lookup(const Catalog& catalog, std::string_view vendor,
                              std::string_view firmware, CommandType command) {
  const auto found = lookup_command(catalog, vendor, firmware, command);
  if (!found) return {status_of(found.error()), nullptr, found.error().message()};
  if (*found == nullptr) return {LookupStatus::NoBlock, nullptr, no_block_message(vendor, command)};
  return {LookupStatus::Text, *found, {}};
}

}  // namespace ov
