// Resolving (vendor, firmware, command type) to the one stored entry.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/catalog_error.h"
#include "catalog/command_type.h"
#include "catalog/records.h"

namespace ov {

// The `cli` text by which an entry states that the command cannot be done.
inline constexpr std::string_view kNotSupported = "NOT_SUPPORTED";

// The selected entry (into the catalog), nullptr when the vendor has no block
// of `command` at all, or the CatalogError (UnknownVendor, InvalidFirmware,
// InvalidRange, NoEntry, NotSupported) that explains why there is no text.
std::expected<const CommandEntry*, CatalogError> lookup_command(const Catalog& catalog,
                                                                std::string_view vendor,
                                                                std::string_view firmware,
                                                                CommandType command);

// "no entry for VENDOR DisplayName": the vendor has no block of `command`.
std::string no_block_message(std::string_view vendor, CommandType command);

}  // namespace ov
