// Resolving (vendor, firmware, command type) to the one stored entry.
#pragma once

#include <cstdint>
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

// True iff the entry states that the command cannot be done: its text is the
// marker exactly.
inline bool is_not_supported(const CommandEntry& entry) { return entry.cli == kNotSupported; }

// What a lookup comes to, as every caller tells the cases apart.
enum class LookupStatus : std::uint8_t {
  Text,          // the stored text
  NoBlock,       // the vendor's file has no block of the type
  NoEntry,       // the block has no entry for the firmware
  NotSupported,  // the chosen entry is NOT_SUPPORTED
  UnknownVendor,
  InvalidFirmware,
  InvalidRange,  // an applies_to of the block does not parse
};

struct LookupOutcome {
  LookupStatus status = LookupStatus::Text;
  const CommandBlock* block = nullptr;  // the vendor's block of the type, when it has one
  const CommandEntry* entry = nullptr;  // the chosen entry, for Text and NotSupported
  std::string reason;                   // the message that says why there is no text

  // The stored text, or the reason.
  std::string_view text() const {
    return status == LookupStatus::Text ? std::string_view(entry->cli) : std::string_view(reason);
  }
};

// The lookup of (vendor, firmware, command), sorted into a LookupStatus, with the block and
// entry it reached; a missing block gets the no_block_message.
LookupOutcome classify_lookup(const Catalog& catalog, std::string_view vendor,
                              std::string_view firmware, CommandType command);

// "no entry for VENDOR DisplayName": the vendor has no block of `command`.
std::string no_block_message(std::string_view vendor, CommandType command);

}  // namespace ov
