// libFuzzer target for the firmware version and `applies_to` range parsers.
// Each input is read both as a version text and as a range text, and the
// parsers' promises are checked; any broken promise aborts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "catalog/firmware_version.h"
#include "catalog/version_range.h"
#include "fuzz_support.h"

using ov::fuzz::require;

namespace {

bool is_platform_prefix(std::string_view text) {
  for (const std::string_view prefix : {"FL", "GL", "LL", "ML", "DL", "PL", "QL"}) {
    if (text == prefix) return true;
  }
  return false;
}

void check_version(std::string_view text) {
  const auto version = ov::FirmwareVersion::parse(text);
  if (!version) {
    require(version.error().is<ov::catalog_error::InvalidFirmware>());
    require(version.error().message() == "invalid firmware version '" + std::string(text) + "'");
    return;
  }
  require(!version->suffix || !version->suffix->empty());
  require(!version->platform_prefix || is_platform_prefix(*version->platform_prefix));
  require(version->compare(*version) == std::strong_ordering::equal);

  // A version without separators is a one-comparator range that it satisfies,
  // and it sits on the right side of ">=" and "<" comparators on itself.
  if (text.find(',') != std::string_view::npos || text.find("||") != std::string_view::npos) return;
  const auto exact = ov::VersionRange::parse(text);
  require(exact && exact->specificity() == 1 && exact->matches(*version));
  const auto at_least = ov::VersionRange::parse(">=" + std::string(text));
  require(at_least && at_least->matches(*version));
  const auto below = ov::VersionRange::parse("<" + std::string(text));
  require(below && !below->matches(*version));
}

void check_range(std::string_view raw) {
  const auto range = ov::VersionRange::parse(raw);
  if (!range) {
    require(range.error().is<ov::catalog_error::InvalidRange>());
    const std::string start = "invalid version range '" + std::string(raw) + "': can't parse '";
    require(range.error().message().starts_with(start));
    return;
  }
  require(range->raw == raw);
  require(range->is_any() == (ov::trim_white_space(raw) == "*"));
  std::size_t comparators = 0;
  for (const auto& alternative : range->alternatives) {
    require(!alternative.empty());
    comparators += alternative.size();
  }
  require(range->specificity() == comparators);

  // Every comparator's own version satisfies an any-range, and the range's
  // answer for it equals the disjunction of conjunctions computed here.
  const auto any = ov::VersionRange::parse("*");
  require(any && any->matches(ov::FirmwareVersion{}));
  for (const auto& alternative : range->alternatives) {
    for (const auto& comparator : alternative) {
      const ov::FirmwareVersion& probe = comparator.version;
      require(any->matches(probe));
      bool expected = false;
      for (const auto& other : range->alternatives) {
        bool all = true;
        for (const auto& c : other) all = all && c.holds(probe);
        expected = expected || all;
      }
      require(range->matches(probe) == expected);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check_version(text);
  check_range(text);
  return 0;
}
