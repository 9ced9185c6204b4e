#include "lookup/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/loader.h"

namespace ov {
namespace {

constexpr std::string_view kLab = R"(vendor: lab
display_name: D
manufacturer: M
product_family: P
commands:
  - type: ARP_TABLE
    versions:
      - applies_to: "*"
        cli: show arp
    protocol_alternatives:
      gnmi: {path: /arp, firmware_required: "17.3 or later, per the release notes"}
      netconf: {yang_model: m, data_path: /d}
      snmp: {oid: 1.3.6}
  - type: MAC_TABLE
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
    protocol_alternatives:
      restconf: {url_path: /mac}
)";

using Vias = std::vector<std::string>;

Vias vias(const Json& row) {
  Vias names;
  for (const Json& way : row["ways"]) names.push_back(way["via"]);
  return names;
}

TEST(Plan, WaysNeedTheCatalogsRecordAndAnOpenTransportInPreferenceOrder) {
  auto file = parse_vendor_file(kLab);
  ASSERT_TRUE(file) << file.error().render();
  Catalog catalog;
  catalog.insert(std::move(*file));
  std::vector<LookupOutcome> outcomes;
  for (const CommandTypeName& name : kCommandTypes) {
    outcomes.push_back(classify_lookup(catalog, "lab", "1.0", name.type));
  }
  probe::ProbeReport open;
  open.netconf_available = open.gnmi_available = open.restconf_available = true;
  open.ssh_banner = "SSH-2.0-lab";
  probe::ProbeReport gnmi_only;
  gnmi_only.gnmi_available = true;
  gnmi_only.netconf_available = false;  // a refused step, not a skipped one
  struct Row {
    const probe::ProbeReport& report;
    Vias arp, mac;
  };
  const Row rows[] = {
      {open, {"netconf", "gnmi", "cli"}, {"restconf"}},
      {gnmi_only, {"gnmi"}, {}},
      {probe::ProbeReport{}, {}, {}},
  };
  for (const Row& row : rows) {
    const Json plan = plan_json(plan_rows(row.report, outcomes));
    ASSERT_EQ(plan.size(), kCommandTypes.size());
    EXPECT_EQ(vias(plan[0]), row.arp);
    EXPECT_EQ(vias(plan[1]), row.mac);
    for (std::size_t i = 2; i < plan.size(); ++i) EXPECT_EQ(plan[i]["ways"], Json::array());
  }
  const Json plan = plan_json(plan_rows(open, outcomes));
  EXPECT_EQ(plan[0]["ways"][1],
            (Json{{"via", "gnmi"},
                  {"path", "/arp"},
                  {"firmware_required", "17.3 or later, per the release notes"}}));
  EXPECT_EQ(plan[0]["ways"][2], (Json{{"via", "cli"}, {"cli", "show arp"}}));
  EXPECT_EQ(plan[1].value("status", ""), "not_supported");
  EXPECT_TRUE(plan[1]["cli"].is_null());
}

}  // namespace
}  // namespace ov
