#include "fleet/probe_summary.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(ProbeSummary, CountsEachOfferAndTheHostsWithNone) {
  probe::ProbeReport ssh;
  ssh.ssh_banner = "SSH-2.0-x";
  ssh.gnmi_available = false;
  probe::ProbeReport models;
  models.netconf_available = models.gnmi_available = true;
  probe::ProbeReport refused;
  refused.netconf_available = refused.gnmi_available = refused.restconf_available = false;
  ProbeSummary summary;
  for (const auto* report : {&ssh, &models, &refused, &refused}) summary.add(*report);
  summary.add(probe::ProbeReport{});  // every step skipped
  EXPECT_EQ(summary.text(),
            "summary: 5 hosts: ssh 1, netconf 1, gnmi 1, restconf 0, nothing reachable 3\n");
  EXPECT_EQ(summary.json().dump(),
            R"({"summary":{"hosts":5,"ssh":1,"netconf":1,"gnmi":1,"restconf":0,)"
            R"("nothing_reachable":3}})");
}

}  // namespace
}  // namespace ov
