// Firmware version texts as devices report them ("4.20.1F", "9.3(5)",
// "FL.10.13.1000") and their ordering.
#pragma once

#include <compare>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/catalog_error.h"

namespace ov {

struct FirmwareVersion {
  std::optional<std::string> platform_prefix;  // AOS-CX platform code such as "FL", without its dot
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t patch = 0;
  std::uint32_t build = 0;
  std::optional<std::string> suffix;  // never empty when present; never compared

  // Returns the parsed version, or InvalidFirmware carrying `text` unchanged.
  static std::expected<FirmwareVersion, CatalogError> parse(std::string_view text);

  // Orders by (major, minor, patch, build) only: suffix and prefix take no part.
  std::strong_ordering compare(const FirmwareVersion& other) const;
};

}  // namespace ov
