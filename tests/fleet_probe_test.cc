#include "fleet/fleet_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

TEST(FleetProbe, EachHostIsProbedOnItsOwnPorts) {
  // Nothing listens on ports 1 and 2 of 127.0.0.1: each refusal names its port.
  std::vector<FleetHost> hosts{{"127.0.0.1", "a", {1, 830, 9339, 443}},
                               {"127.0.0.1", "b", {2, 830, 9339, 443}},
                               {"127.0.0.1", "c", {1, 830, 9339, 443}}};
  FleetProbe fleet(std::move(hosts), *probe::duration_from_seconds(2),
                   {"netconf", "gnmi", "restconf"}, 3);
  std::vector<std::string> seen;
  while (const auto report = fleet.next()) {
    ASSERT_EQ(report->diagnostics.size(), 1u);
    seen.push_back(report->vendor + " " + report->diagnostics[0].substr(0, 6));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a ssh:1 ", "b ssh:2 ", "c ssh:1 "}));
}

}  // namespace
}  // namespace ov
