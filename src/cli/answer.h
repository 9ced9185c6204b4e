// One lookup, with its outcome sorted into the kinds the tool reports and
// exits with.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "cli/exit_status.h"

namespace ov::cli {

enum class Outcome {
  Text,          // the stored text
  NoBlock,       // the vendor's file has no block of the type
  NoEntry,       // the block has no entry for the firmware
  NotSupported,  // the chosen entry is NOT_SUPPORTED
  UnknownVendor,
  InvalidFirmware,
  InvalidRange,  // an applies_to of the block does not parse
};

struct Answer {
  Outcome outcome = Outcome::Text;
  std::string text;  // the stored text, or the message that says why there is none
};

Answer answer(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
              CommandType command);

// How each outcome is named in `table --json`, and the exit status that a
// single lookup with that outcome leaves with. Indexed by Outcome.
struct OutcomeInfo {
  Outcome outcome;
  std::string_view name;
  Exit exit;
};

inline constexpr std::array<OutcomeInfo, 7> kOutcomes{{
    {Outcome::Text, "text", Exit::Ok},
    {Outcome::NoBlock, "no_block", Exit::Negative},
    {Outcome::NoEntry, "no_entry", Exit::Negative},
    {Outcome::NotSupported, "not_supported", Exit::Negative},
    {Outcome::UnknownVendor, "unknown_vendor", Exit::Usage},
    {Outcome::InvalidFirmware, "invalid_firmware", Exit::Usage},
    {Outcome::InvalidRange, "invalid_range", Exit::Fault},
}};

const OutcomeInfo& info(Outcome outcome);

}  // namespace ov::cli
