// How the documents name each lookup status.
#pragma once

#include <array>
#include <string_view>

#include "catalog/lookup.h"

namespace ov {

struct OutcomeName {
  LookupStatus status;
  std::string_view name;
};

// Indexed by LookupStatus.
inline constexpr std::array<OutcomeName, 7> kOutcomeNames{{
    {LookupStatus::Text, "text"},
    {LookupStatus::NoBlock, "no_block"},
    {LookupStatus::NoEntry, "no_entry"},
    {LookupStatus::NotSupported, "not_supported"},
    {LookupStatus::UnknownVendor, "unknown_vendor"},
    {LookupStatus::InvalidFirmware, "invalid_firmware"},
    {LookupStatus::InvalidRange, "invalid_range"},
}};

std::string_view outcome_name(LookupStatus status);

}  // namespace ov
