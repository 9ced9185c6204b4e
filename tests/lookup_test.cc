#include "catalog/lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "catalog/loader.h"

namespace ov {
namespace {

// Read by the vendor-file reader, so that every entry has its parsed range.
VendorFile vendor(std::string_view name, std::string_view commands) {
  auto file = parse_vendor_file(
      "vendor: " + std::string(name) +
      "\ndisplay_name: D\nmanufacturer: M\nproduct_family: P\ncommands:\n" + std::string(commands));
  EXPECT_TRUE(file) << file.error().render();
  return file ? *std::move(file) : VendorFile{};
}

Catalog sample_catalog() {
  Catalog catalog;
  catalog.insert(vendor("arista_eos", R"(
- {type: ARP_TABLE, versions: [{applies_to: ">=4.20", cli: show ip arp}]}
- {type: STP_VLAN_LIST, versions: [{applies_to: ">=4.20", cli: show spanning-tree},
                                   {applies_to: ">=4.20", cli: show spanning-tree vlan}]}
- {type: MAC_TABLE, versions: [{applies_to: "*", cli: any}, {applies_to: ">=4.20", cli: one},
                               {applies_to: ">=4.20,<4.24||>=4.28", cli: three},
                               {applies_to: ">=4.22,<4.30", cli: two}]}
- {type: CIVIC_LOCATION, versions: [{applies_to: ">=4.0", cli: NOT_SUPPORTED,
                                     notes: Arista EOS does not expose civic location}]}
- {type: HOSTNAME, versions: [{applies_to: "*", cli: "NOT_SUPPORTED\n"}]}
- {type: VERSION, versions: [{applies_to: "*", cli: " NOT_SUPPORTED"}]}
- {type: PORT_POE_OFF, versions: [{applies_to: "*", cli: power inline never},
                                  {applies_to: ">=4.0", cli: NOT_SUPPORTED, notes: no PoE on this line}]}
- {type: PORT_POE_ON, versions: [{applies_to: ">=4.0", cli: NOT_SUPPORTED, notes: no PoE},
                                 {applies_to: ">=4.0,<9", cli: power inline auto}]}
- {type: PORT_NO_SHUTDOWN, versions: [{applies_to: ">=4.0", cli: no shutdown},
                                      {applies_to: ">=4.0", cli: NOT_SUPPORTED, notes: never}]}
- {type: PORT_SHUTDOWN, versions: []}
- {type: VLAN_LIST, versions: [{applies_to: ">=5.0", cli: first block}]}
- {type: VLAN_LIST, versions: [{applies_to: "*", cli: second block}]}
- {type: SVI_CONFIG, versions: [{applies_to: ">=4.0", cli: show vlan interface},
                                {applies_to: ">=abc", cli: bad}]}
- {type: SVI_CREATE, versions: [{applies_to: "4.20,", cli: bad},
                                {applies_to: "*", cli: "interface vlan {vlan_id}"}]}
- {type: INTERFACE_STATS, versions: [{applies_to: "*",
                                      cli: "show interfaces counters\nshow interfaces status\n"}]}
)"));
  catalog.insert(vendor("aruba_aoscx", R"(
- {type: PORT_POLICY_PUSH, versions: [{applies_to: ">=10.04,<FL.01.17", cli: old form},
                                      {applies_to: ">=FL.01.17", cli: percent form}]}
)"));
  return catalog;
}

// The chosen text, "(no block)", or "error: " and the message.
std::string outcome(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
                    CommandType command) {
  const LookupOutcome result = classify_lookup(catalog, vendor, firmware, command);
  if (result.status == LookupStatus::NoBlock) return "(no block)";
  if (result.status != LookupStatus::Text) return "error: " + result.reason;
  return result.entry->cli;
}

struct Row {
  std::string_view vendor;
  std::string_view firmware;
  CommandType command;
  std::string_view expected;
};

using enum CommandType;

TEST(LookupTest, Outcomes) {
  const Row rows[] = {
      // The checks in order: vendor, firmware, block.
      {"cisco_ios_xe", "not a version", ArpTable, "error: unknown vendor: cisco_ios_xe"},
      {"Arista_EOS", "4.20", ArpTable, "error: unknown vendor: Arista_EOS"},
      {"arista_eos", "switch-15-21", InterfaceConfig,
       "error: invalid firmware version 'switch-15-21'"},
      {"arista_eos", "4.20", InterfaceConfig, "(no block)"},
      // The most specific match wins.
      {"arista_eos", "4.22.1F", StpVlanList, "show spanning-tree"},  // the first of equals
      {"arista_eos", "4.22", MacTable, "three"},
      {"arista_eos", "4.25", MacTable, "two"},
      {"aruba_aoscx", "FL.10.13.1000", PortPolicyPush, "percent form"},
      {"arista_eos", " 4.20 ", InterfaceStats,
       "show interfaces counters\nshow interfaces status\n"},
      // Missing entries, with the firmware as passed, in debug form.
      {"arista_eos", "4.19", ArpTable, R"(error: no entry for arista_eos Some("4.19") ArpTable)"},
      {"arista_eos", "4.20", PortShutdown,
       R"(error: no entry for arista_eos Some("4.20") PortShutdown)"},
      // Only the first block of a type counts.
      {"arista_eos", "4.20", VlanList, R"(error: no entry for arista_eos Some("4.20") VlanList)"},
      {"arista_eos", "5.0", VlanList, "first block"},
      // The firmware is shown as passed, in debug form.
      {"arista_eos", "4.19\"q\\", ArpTable,
       R"(error: no entry for arista_eos Some("4.19\"q\\") ArpTable)"},
      // A malformed range fails only its block.
      {"arista_eos", "4.20", SviConfig,
       "error: invalid version range '>=abc': can't parse 'abc': invalid firmware version 'abc'"},
      {"arista_eos", "4.20", SviCreate,
       "error: invalid version range '4.20,': can't parse '': invalid firmware version ''"},
      {"arista_eos", "4.20", ArpTable, "show ip arp"},
      // NOT_SUPPORTED only when chosen, and only exactly.
      {"arista_eos", "4.20.1F", CivicLocation,
       "error: CivicLocation is not supported on arista_eos: Arista EOS does not expose civic "
       "location"},
      {"arista_eos", "4.20", PortPoeOff,
       "error: PortPoeOff is not supported on arista_eos: no PoE on this line"},
      {"arista_eos", "3.0", PortPoeOff, "power inline never"},
      {"arista_eos", "4.20", PortPoeOn, "power inline auto"},
      {"arista_eos", "9.0", PortPoeOn, "error: PortPoeOn is not supported on arista_eos: no PoE"},
      {"arista_eos", "4.20", PortNoShutdown, "no shutdown"},  // the first of equals
      {"arista_eos", "4.20", Hostname, "NOT_SUPPORTED\n"},
      {"arista_eos", "4.20", Version, " NOT_SUPPORTED"},
  };
  const Catalog catalog = sample_catalog();
  for (const auto& row : rows) {
    EXPECT_EQ(outcome(catalog, row.vendor, row.firmware, row.command), row.expected)
        << "vendor '" << row.vendor << "' firmware '" << row.firmware << "' "
        << yaml_name(row.command);
  }
}

TEST(LookupTest, ReturnsTheEntryInsideTheCatalog) {
  const Catalog catalog = sample_catalog();
  const LookupOutcome result = classify_lookup(catalog, "arista_eos", "4.22.1F", StpVlanList);
  ASSERT_EQ(result.status, LookupStatus::Text);
  EXPECT_EQ(result.entry, &catalog.find("arista_eos")->first_block(StpVlanList)->versions[0]);
}

}  // namespace
}  // namespace ov
