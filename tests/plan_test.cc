#include "lookup/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/loader.h"

namespace ov {
namespace {

// A lab vendor: ARP_TABLE with a way of each kind of firmware_required
// (within, outside, unreadable, none), MAC_TABLE with no text.
constexpr std::string_view kLab = R"(vendor: lab
display_name: D
manufacturer: M
product_family: P
commands:
  - type: ARP_TABLE
    versions:
      - applies_to: "*"
        cli: show arp {vrf}
    protocol_alternatives:
      netconf: {yang_model: m, data_path: /d, firmware_required: ">=2.0"}
      restconf: {url_path: /arp}
      gnmi: {path: /arp, firmware_required: "17.3 or later, per the release notes"}
      eapi: {method: runCmds, cli: show arp, format: json, firmware_required: ">=1.0"}
      snmp: {oid: 1.3.6}
  - type: MAC_TABLE
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
    protocol_alternatives:
      restconf: {url_path: /mac}
)";

// The same vendor managed from the cloud.
constexpr std::string_view kCloud = R"(vendor: cloud
display_name: D
manufacturer: M
product_family: P
protocol_capabilities:
  dashboard_api: {introduced_in: v1}
commands:
  - type: ARP_TABLE
    versions:
      - applies_to: "*"
        cli: GET /devices/{serial}/arp
)";

using Vias = std::vector<std::string>;

Vias vias(const Json& list) {
  Vias names;
  for (const Json& way : list) names.push_back(way["via"]);
  return names;
}

Catalog lab_catalog() {
  Catalog catalog;
  for (const std::string_view text : {kLab, kCloud}) {
    auto file = parse_vendor_file(text);
    EXPECT_TRUE(file) << file.error().render();
    catalog.insert(std::move(*file));
  }
  return catalog;
}

Json plan_of(const Catalog& catalog, std::string_view vendor, const probe::ProbeReport& report,
             const Settings& settings = {}) {
  const std::vector<CommandType> types{CommandType::ArpTable, CommandType::MacTable};
  const auto answer = answer_table(catalog, vendor, "1.5", false, {}, types);
  EXPECT_TRUE(answer);
  const PlanInput input{&*answer, catalog.find(vendor), &settings};
  return plan_json(plan_rows(report, input), vendor);
}

TEST(Plan, WaysNeedTheRecordAnOpenPortAndFirmwareWithinTheirRange) {
  const Catalog catalog = lab_catalog();
  probe::ProbeReport open;
  open.netconf_available = open.gnmi_available = open.restconf_available = true;
  open.ssh_banner = "SSH-2.0-lab";
  probe::ProbeReport https_only;
  https_only.restconf_available = true;
  https_only.netconf_available = false;  // a refused step, not a skipped one
  struct Row {
    const probe::ProbeReport& report;
    Vias arp, mac;
  };
  const Row rows[] = {
      {open, {"restconf", "gnmi", "eapi", "cli"}, {"restconf"}},
      {https_only, {"restconf", "eapi"}, {"restconf"}},
      {probe::ProbeReport{}, {}, {}},
  };
  for (const Row& row : rows) {
    const Json plan = plan_of(catalog, "lab", row.report);
    EXPECT_EQ(vias(plan[0]["ways"]), row.arp);
    EXPECT_EQ(vias(plan[1]["ways"]), row.mac);
    // The firmware 1.5 is outside netconf's >=2.0 whatever the probe found.
    EXPECT_EQ(plan[0]["excluded"], (Json::parse(R"([{"via":"netconf","firmware_required":">=2.0"}])")));
  }
  const Json plan = plan_of(catalog, "lab", open);
  EXPECT_EQ(plan[0]["ways"][1],
            (Json{{"via", "gnmi"},
                  {"path", "/arp"},
                  {"firmware_required", "17.3 or later, per the release notes"},
                  {"firmware_checked", false}}));
  EXPECT_EQ(plan[0]["ways"][0]["firmware_checked"], true);
  EXPECT_EQ(plan[1].value("status", ""), "not_supported");
  EXPECT_TRUE(plan[1]["cli"].is_null());
}

TEST(Plan, TheCliWayGivesItsLinesWithTheKnownValuesFilled) {
  const Catalog catalog = lab_catalog();
  probe::ProbeReport ssh;
  ssh.ssh_banner = "SSH-2.0-lab";
  EXPECT_EQ(plan_of(catalog, "lab", ssh)[0]["ways"][0],
            Json::parse(R"({"via":"cli","cli":"show arp {vrf}","mode":"exec",
                "commands":["show arp {vrf}"],"session":null,"unfilled":["vrf"]})"));
  Settings settings;
  ASSERT_TRUE(settings.set("vrf", "blue"));
  EXPECT_EQ(plan_of(catalog, "lab", ssh, settings)[0]["ways"][0]["commands"],
            Json::parse(R"(["show arp blue"])"));
}

TEST(Plan, ACloudManagedVendorIsPlannedThroughItsApiWhateverTheProbeFound) {
  const Catalog catalog = lab_catalog();
  probe::ProbeReport ssh;
  ssh.ssh_banner = "SSH-2.0-lab";
  for (const probe::ProbeReport& report : {ssh, probe::ProbeReport{}}) {
    EXPECT_EQ(plan_of(catalog, "cloud", report)[0]["ways"],
              Json::parse(R"([{"via":"dashboard_api","call":"GET /devices/{serial}/arp",
                  "unfilled":["serial"]}])"));
  }
}

}  // namespace
}  // namespace ov
