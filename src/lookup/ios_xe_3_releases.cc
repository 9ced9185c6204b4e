#include "lookup/ios_xe_3_releases.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "base/ascii.h"

namespace ov {
namespace {

struct Ios15Train {
  unsigned feature;          // the IOS-XE release's second number
  std::string_view letters;  // its train
  std::string_view ios;      // the IOS 15.x counterpart of its rebuild 0
};

// Cisco names the pairs in the titles of its Catalyst 4500 guides ("IOS XE
// 3.6.xE and IOS 15.2(2)Ex", ..., "IOS XE 3.4.xSG and IOS 15.1(2)SGx", "IOS
// XE 3.3.0SG (15.1(1)SG)"):
//   https://www.cisco.com/c/en/us/support/switches/catalyst-4500-series-switches/products-installation-and-configuration-guides-list.html
//   https://www.cisco.com/c/en/us/support/switches/catalyst-4500-series-switches/products-command-reference-list.html
// in its Catalyst 4500 MIB support list ("IOS XE 3.2.0SG ... & IOS 15.0(2)SG"):
//   https://raw.githubusercontent.com/cisco/cisco-mibs/main/supportlists/cat4000/cat4000-supportlist.html
// in its recommended releases for the Catalyst 4500 ("15.2(7)E5 / 3.11.5E"):
//   https://www.cisco.com/c/zh_cn/support/docs/switches/catalyst-6500-series-switches/214946-recommended-releases-for-catalyst-2960-3.html
// and in its image names for the 3850/3650, which carry both releases
// (cat3k_caa-universalk9.SPA.03.03.00.SE.150-1.EZ.bin,
// cat3k_caa-universalk9.SPA.03.06.06E.152-2.E6.bin), as quoted at
//   https://www.packetmischief.ca/2013/12/09/ios-and-nx-os-platform-identifiers/
//   https://community.cisco.com/t5/switching/difference-between-ios-xe-3-ios-xe-16/td-p/2965427/page/2
constexpr std::array<Ios15Train, 10> kIos15Trains{{
    {2, "SG", "15.0(2)SG"},
    {3, "SE", "15.0(1)EZ"},
    {3, "SG", "15.1(1)SG"},
    {4, "SG", "15.1(2)SG"},
    {5, "E", "15.2(1)E"},
    {6, "E", "15.2(2)E"},
    {7, "E", "15.2(3)E"},
    {8, "E", "15.2(4)E"},
    {9, "E", "15.2(5)E"},
    {11, "E", "15.2(7)E"},
}};

constexpr unsigned kMajor = 3;

// One or two ASCII digits, nothing else.
std::optional<unsigned> small_number(std::string_view digits) {
  if (digits.empty() || digits.size() > 2) return std::nullopt;
  unsigned value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

struct Release {
  std::array<unsigned, 3> numbers{};  // major, feature, rebuild
  std::string_view letters;           // the train, as written
};

// "MM.FF.RR" and an optional "." before the letters of the train.
std::optional<Release> read_release(std::string_view text) {
  const auto letters_at = std::ranges::find_if(text, is_ascii_alpha) - text.begin();
  std::string_view head = text.substr(0, static_cast<std::size_t>(letters_at));
  const std::string_view letters = text.substr(head.size());
  if (letters.empty() || !std::ranges::all_of(letters, is_ascii_alpha)) return std::nullopt;
  if (head.ends_with('.')) head.remove_suffix(1);
  Release release;
  for (std::size_t i = 0; i < release.numbers.size(); ++i) {
    const bool last = i + 1 == release.numbers.size();
    const std::size_t dot = head.find('.');
    if ((dot == std::string_view::npos) != last) return std::nullopt;
    const auto number = small_number(head.substr(0, dot));
    if (!number) return std::nullopt;
    release.numbers[i] = *number;
    if (!last) head.remove_prefix(dot + 1);
  }
  release.letters = letters;
  return release;
}

}  // namespace

std::optional<std::string> ios_15_counterpart(std::string_view text) {
  const auto release = read_release(text);
  if (!release) return std::nullopt;
  const auto [major, feature, rebuild] = release->numbers;
  if (major != kMajor) return std::nullopt;
  const auto train = std::ranges::find_if(kIos15Trains, [&](const Ios15Train& t) {
    return t.feature == feature && equals_ignoring_ascii_case(t.letters, release->letters);
  });
  if (train == kIos15Trains.end()) return std::nullopt;
  // Rebuild 0 is the train's first release, which IOS writes without a number.
  return std::string(train->ios) + (rebuild == 0 ? "" : std::to_string(rebuild));
}

}  // namespace ov
