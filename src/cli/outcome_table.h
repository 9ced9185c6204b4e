// How the tool reports each lookup status and exits with it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "catalog/command_type.h"
#include "catalog/lookup.h"
#include "cli/exit_status.h"

namespace ov::cli {

// How each outcome is named in `table --json`, and the exit status that a
// single lookup with that outcome leaves with. Indexed by LookupStatus.
struct OutcomeInfo {
  LookupStatus status;
  std::string_view name;
  Exit exit;
};

inline constexpr std::array<OutcomeInfo, 7> kOutcomes{{
    {LookupStatus::Text, "text", Exit::Ok},
    {LookupStatus::NoBlock, "no_block", Exit::Negative},
    {LookupStatus::NoEntry, "no_entry", Exit::Negative},
    {LookupStatus::NotSupported, "not_supported", Exit::Negative},
    {LookupStatus::UnknownVendor, "unknown_vendor", Exit::Usage},
    {LookupStatus::InvalidFirmware, "invalid_firmware", Exit::Usage},
    {LookupStatus::InvalidRange, "invalid_range", Exit::Fault},
}};

const OutcomeInfo& info(LookupStatus status);

}  // namespace ov::cli
