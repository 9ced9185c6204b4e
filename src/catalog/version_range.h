// `applies_to` ranges: "*", comparators joined by "," (all hold) and
// alternatives joined by "||" (one holds).
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_error.h"
#include "catalog/firmware_version.h"

namespace ov {

enum class CompareOp : std::uint8_t { Ge, Gt, Le, Lt, Eq };

struct VersionComparator {
  CompareOp op = CompareOp::Eq;
  FirmwareVersion version;

  // The platform-prefix gate, then the order test.
  bool holds(const FirmwareVersion& firmware) const;
};

struct VersionRange {
  std::string raw;  // as stored, for messages
  // Empty for the any-range "*"; otherwise every alternative is non-empty.
  std::vector<std::vector<VersionComparator>> alternatives;

  // Returns the range, or InvalidRange carrying `raw` unchanged and the reason
  // "can't parse 'V': " + the version error's message.
  static std::expected<VersionRange, CatalogError> parse(std::string_view raw);

  bool is_any() const { return alternatives.empty(); }
  bool matches(const FirmwareVersion& firmware) const;
  // Number of comparators over all alternatives; 0 for "*".
  std::size_t specificity() const;
};

}  // namespace ov
