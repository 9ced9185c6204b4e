#include "lookup/ios_xe_3_releases.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace ov {
namespace {

TEST(IosXe3Releases, EachCoveredReleaseGivesItsIos15Counterpart) {
  const std::pair<std::string_view, std::optional<std::string>> rows[] = {
      {"03.06.06E", "15.2(2)E6"},
      {"3.6.6E", "15.2(2)E6"},
      {"3.06.6E", "15.2(2)E6"},
      {"03.06.10.E", "15.2(2)E10"},
      {"3.6.10e", "15.2(2)E10"},
      {"3.7.0E", "15.2(3)E"},  // a train's first release has no rebuild number
      {"3.7.4E", "15.2(3)E4"},
      {"03.03.05SE", "15.0(1)EZ5"},
      {"3.3.0SE", "15.0(1)EZ"},
      {"3.3.2SG", "15.1(1)SG2"},  // the same feature release on another train
      {"03.04.00.SG", "15.1(2)SG"},
      {"3.2.11SG", "15.0(2)SG11"},
      {"3.5.0E", "15.2(1)E"},
      {"3.9.2E", "15.2(5)E2"},
      {"03.11.05.E", "15.2(7)E5"},
      // Trains without a known counterpart.
      {"3.10.0E", std::nullopt},
      {"3.2.0SE", std::nullopt},
      {"3.6.6S", std::nullopt},
      {"3.6.6SEE", std::nullopt},
      // Texts that are not a 3.x release.
      {"4.6.6E", std::nullopt},
      {"16.12.4", std::nullopt},
      {"15.2(2)E6", std::nullopt},
      {"3.6.6", std::nullopt},
      {"3.6E", std::nullopt},
      {"3.6.6.6E", std::nullopt},
      {"003.06.06E", std::nullopt},
      {"3.6.100E", std::nullopt},
      {"3.+6.6E", std::nullopt},
      {".3.6.6E", std::nullopt},
      {"3..6E", std::nullopt},
      {"3.6.6..E", std::nullopt},
      {"3.6.6E1", std::nullopt},
      {"3.6.6 E", std::nullopt},
      {" 3.6.6E", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [release, expected] : rows) {
    EXPECT_EQ(ios_15_counterpart(release), expected) << '"' << release << '"';
  }
}

}  // namespace
}  // namespace ov
