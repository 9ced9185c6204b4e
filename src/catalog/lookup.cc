#include "catalog/lookup.h"

#include <string>
#include <variant>

#include "catalog/firmware_version.h"
#include "catalog/version_range.h"

namespace ov {

std::string no_block_message(std::string_view vendor, CommandType command) {
  return "no entry for " + std::string(vendor) + " " + std::string(display_name(command));
}

namespace {

// Where a lookup got to: the vendor's block (nullptr when it has none) and the
// entry chosen for the firmware, or the error that stopped it first.
struct Selection {
  const CommandBlock* block = nullptr;
  const CommandEntry* entry = nullptr;
};

std::expected<Selection, CatalogError> select_entry(const Catalog& catalog, std::string_view vendor,
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

  Selection selection{file->first_block(command), nullptr};
  if (selection.block == nullptr) return selection;

  std::size_t best = 0;
  for (const auto& entry : selection.block->versions) {
    // Every entry of the block is checked: a malformed range fails the lookup
    // even when another entry matches.
    if (!entry.range) return std::unexpected(entry.range.error());
    if (!entry.range->matches(*version)) continue;
    const std::size_t specificity = entry.range->specificity();
    if (selection.entry == nullptr || specificity > best) {
      selection.entry = &entry;
      best = specificity;
    }
  }
  return selection;
}

CatalogError no_entry(std::string_view vendor, std::string_view firmware, CommandType command) {
  return CatalogError{catalog_error::NoEntry{std::string(vendor), std::string(firmware), command}};
}

CatalogError not_supported(std::string_view vendor, CommandType command,
                           const CommandEntry& entry) {
  return CatalogError{
      catalog_error::NotSupported{command, std::string(vendor), entry.notes.value_or("")}};
}

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
  const auto selection = select_entry(catalog, vendor, firmware, command);
  if (!selection)
    return {status_of(selection.error()), nullptr, nullptr, selection.error().message()};
  const auto [block, entry] = *selection;
  if (block == nullptr) {
    return {LookupStatus::NoBlock, nullptr, nullptr, no_block_message(vendor, command)};
  }
  if (entry == nullptr) {
    return {LookupStatus::NoEntry, block, nullptr, no_entry(vendor, firmware, command).message()};
  }
  if (is_not_supported(*entry)) {
    return {LookupStatus::NotSupported, block, entry,
            not_supported(vendor, command, *entry).message()};
  }
  return {LookupStatus::Text, block, entry, {}};
}

}  // namespace ov
