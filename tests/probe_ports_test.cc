#include "fleet/probe_ports.h"

#include <gtest/gtest.h>

#include <string>

namespace ov {
namespace {

TEST(ProbePorts, SetPortsThenVendorDefaultsThenWellKnownOnes) {
  PortSettings ports;
  EXPECT_EQ(ports.ports_for("arista_eos"), (StepPorts{22, 830, 6030, 443}));
  EXPECT_EQ(ports.ports_for("eos"), (StepPorts{22, 830, 9339, 443}));  // identifiers only
  ASSERT_TRUE(ports.set("SSH=2222"));
  ASSERT_TRUE(ports.set("gnmi", 57400));
  EXPECT_EQ(ports.ports_for("arista_eos"), (StepPorts{2222, 830, 57400, 443}));
  EXPECT_EQ(ports.ports_for("cisco_nxos"), (StepPorts{2222, 830, 57400, 443}));
  EXPECT_EQ(steps_on({1, 2, 3, 4})[2].port, 3);
}

TEST(ProbePorts, RefusalsNameWhatIsWrong) {
  struct Row {
    std::string_view assignment, message;
  };
  const Row rows[] = {
      {"ssh", "expected NAME=PORT, got 'ssh'"},
      {"eapi=443", "unknown probe step 'eapi' (steps: ssh, netconf, gnmi, restconf)"},
      {"ssh=0", "ssh port '0' is not a number from 1 to 65535"},
      {"ssh=65536", "ssh port '65536' is not a number from 1 to 65535"},
      {"ssh=22x", "ssh port '22x' is not a number from 1 to 65535"},
      {"ssh=", "ssh port '' is not a number from 1 to 65535"},
      {"ssh=99999999999999999999", "ssh port '99999999999999999999' is not a number from 1 to 65535"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.assignment);
    PortSettings ports;
    const auto set = ports.set(row.assignment);
    ASSERT_FALSE(set);
    EXPECT_EQ(set.error().message, row.message);
  }
}

}  // namespace
}  // namespace ov
