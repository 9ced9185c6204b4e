#include "catalog/version_range.h"

#include <algorithm>
#include <array>

#include "base/enum_table.h"
#include "base/utf8.h"

namespace ov {
namespace {

struct OperatorSpelling {
  std::string_view text;
  CompareOp op;
};

// Tested in this order, so that ">=" is never read as ">" followed by "=4.2".
constexpr std::array<OperatorSpelling, 5> kOperators{{
    {">=", CompareOp::Ge},
    {"<=", CompareOp::Le},
    {">", CompareOp::Gt},
    {"<", CompareOp::Lt},
    {"=", CompareOp::Eq},
}};

enum OrderBit : std::uint8_t { kLess = 1, kEqual = 2, kGreater = 4 };

// Which outcomes of "firmware compared with the comparator's version" each
// operator accepts, indexed by CompareOp.
struct Accepted {
  CompareOp op;
  std::uint8_t outcomes;
};

constexpr std::array<Accepted, 5> kAccepted{{
    {CompareOp::Ge, kEqual | kGreater},
    {CompareOp::Gt, kGreater},
    {CompareOp::Le, kLess | kEqual},
    {CompareOp::Lt, kLess},
    {CompareOp::Eq, kEqual},
}};
static_assert(indexed_by_enum(kAccepted, &Accepted::op), "kAccepted must follow CompareOp");

std::uint8_t order_bit(std::strong_ordering order) {
  if (order < 0) return kLess;
  if (order > 0) return kGreater;
  return kEqual;
}

// Splits `text` at every `separator`, keeping empty pieces, and calls `each`
// on every piece until one fails.
template <class Each>
std::expected<void, CatalogError> for_each_piece(std::string_view text, std::string_view separator,
                                                 Each&& each) {
  while (true) {
    const std::size_t at = text.find(separator);
    if (auto result = each(text.substr(0, at)); !result) return result;
    if (at == std::string_view::npos) return {};
    text.remove_prefix(at + separator.size());
  }
}

std::expected<VersionComparator, std::string> parse_comparator(std::string_view text) {
  text = trim_white_space(text);
  VersionComparator comparator;
  for (const auto& spelling : kOperators) {
    if (text.starts_with(spelling.text)) {
      comparator.op = spelling.op;
      text.remove_prefix(spelling.text.size());
      break;
    }
  }
  text = trim_white_space(text);
  auto version = FirmwareVersion::parse(text);
  if (!version) {
    return std::unexpected("can't parse '" + std::string(text) + "': " + version.error().message());
  }
  comparator.version = *std::move(version);
  return comparator;
}

}  // namespace

bool VersionComparator::holds(const FirmwareVersion& firmware) const {
  if (firmware.platform_prefix && version.platform_prefix &&
      *firmware.platform_prefix != *version.platform_prefix) {
    return false;
  }
  return (kAccepted[static_cast<std::size_t>(op)].outcomes &
          order_bit(firmware.compare(version))) != 0;
}

std::expected<VersionRange, CatalogError> VersionRange::parse(std::string_view raw) {
  VersionRange range;
  range.raw = std::string(raw);
  const std::string_view text = trim_white_space(raw);
  if (text == "*") return range;

  auto parsed = for_each_piece(text, "||", [&](std::string_view alternative_text) {
    auto& alternative = range.alternatives.emplace_back();
    return for_each_piece(
        alternative_text, ",",
        [&](std::string_view comparator_text) -> std::expected<void, CatalogError> {
          auto comparator = parse_comparator(comparator_text);
          if (!comparator) {
            return std::unexpected(CatalogError{
                catalog_error::InvalidRange{std::string(raw), std::move(comparator).error()}});
          }
          alternative.push_back(*std::move(comparator));
          return {};
        });
  });
  if (!parsed) return std::unexpected(std::move(parsed).error());
  return range;
}

bool VersionRange::matches(const FirmwareVersion& firmware) const {
  if (is_any()) return true;
  return std::ranges::any_of(alternatives, [&](const auto& alternative) {
    return std::ranges::all_of(alternative,
                               [&](const auto& comparator) { return comparator.holds(firmware); });
  });
}

std::size_t VersionRange::specificity() const {
  std::size_t count = 0;
  for (const auto& alternative : alternatives) count += alternative.size();
  return count;
}

}  // namespace ov
