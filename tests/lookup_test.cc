#include "catalog/lookup.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

namespace ov {
namespace {

CommandEntry entry(std::string applies_to, std::string cli,
                   std::optional<std::string> notes = std::nullopt) {
  CommandEntry result;
  result.range = VersionRange::parse(applies_to);
  result.applies_to = std::move(applies_to);
  result.cli = std::move(cli);
  result.notes = std::move(notes);
  return result;
}

CommandBlock block(CommandType type, std::initializer_list<CommandEntry> versions) {
  CommandBlock result;
  result.type = type;
  result.versions = versions;
  return result;
}

VendorFile vendor(std::string name, std::initializer_list<CommandBlock> commands) {
  VendorFile result;
  result.vendor = std::move(name);
  result.commands = commands;
  return result;
}

Catalog sample_catalog() {
  using enum CommandType;
  Catalog catalog;
  catalog.insert(vendor(
      "arista_eos",
      {
          block(ArpTable, {entry(">=4.20", "show ip arp")}),
          block(StpVlanList, {entry(">=4.20", "show spanning-tree"),
                              entry(">=4.20", "show spanning-tree vlan")}),
          block(MacTable, {entry("*", "any"), entry(">=4.20", "one"),
                           entry(">=4.20,<4.24||>=4.28", "three"), entry(">=4.22,<4.30", "two")}),
          block(CivicLocation,
                {entry(">=4.0", "NOT_SUPPORTED", "Arista EOS does not expose civic location")}),
          block(Hostname, {entry("*", "NOT_SUPPORTED\n")}),
          block(Version, {entry("*", " NOT_SUPPORTED")}),
          block(PortPoeOff, {entry("*", "power inline never"),
                             entry(">=4.0", "NOT_SUPPORTED", "no PoE on this line")}),
          block(PortPoeOn, {entry(">=4.0", "NOT_SUPPORTED", "no PoE"),
                            entry(">=4.0,<9", "power inline auto")}),
          block(PortNoShutdown,
                {entry(">=4.0", "no shutdown"), entry(">=4.0", "NOT_SUPPORTED", "never")}),
          block(PortShutdown, {}),
          block(VlanList, {entry(">=5.0", "first block")}),
          block(VlanList, {entry("*", "second block")}),
          block(SviConfig, {entry(">=4.0", "show vlan interface"), entry(">=abc", "bad")}),
          block(SviCreate, {entry("4.20,", "bad"), entry("*", "interface vlan {vlan_id}")}),
          block(InterfaceStats, {entry("*", "show interfaces counters\nshow interfaces status\n")}),
      }));
  catalog.insert(
      vendor("aruba_aoscx", {block(PortPolicyPush, {entry(">=10.04,<FL.01.17", "old form"),
                                                    entry(">=FL.01.17", "percent form")})}));
  return catalog;
}

// The chosen text, "(no block)", or "error: " and the message.
std::string outcome(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
                    CommandType command) {
  const auto result = lookup_command(catalog, vendor, firmware, command);
  if (!result) return "error: " + result.error().message();
  return *result == nullptr ? "(no block)" : (*result)->cli;
}

struct Row {
  std::string_view vendor;
  std::string_view firmware;
  CommandType command;
  std::string_view expected;
};

void expect_outcomes(std::initializer_list<Row> rows) {
  const Catalog catalog = sample_catalog();
  for (const auto& row : rows) {
    SCOPED_TRACE("vendor '" + std::string(row.vendor) + "' firmware '" + std::string(row.firmware) +
                 "' " + std::string(yaml_name(row.command)));
    EXPECT_EQ(outcome(catalog, row.vendor, row.firmware, row.command), row.expected);
  }
}

using enum CommandType;

TEST(LookupTest, ChecksInOrder) {
  expect_outcomes({
      {"cisco_ios_xe", "not a version", ArpTable, "error: unknown vendor: cisco_ios_xe"},
      {"Arista_EOS", "4.20", ArpTable, "error: unknown vendor: Arista_EOS"},
      {"arista_eos", "switch-15-21", InterfaceConfig,
       "error: invalid firmware version 'switch-15-21'"},
      {"arista_eos", "4.20", InterfaceConfig, "(no block)"},
  });
}

TEST(LookupTest, ChoosesTheMostSpecificMatch) {
  expect_outcomes({
      {"arista_eos", "4.22.1F", StpVlanList, "show spanning-tree"},  // the first of equals
      {"arista_eos", "4.22", MacTable, "three"},
      {"arista_eos", "4.25", MacTable, "two"},
      {"arista_eos", "4.31", MacTable, "three"},
      {"aruba_aoscx", "FL.10.13.1000", PortPolicyPush, "percent form"},
      {"arista_eos", " 4.20 ", InterfaceStats, "show interfaces counters\nshow interfaces status\n"},
  });
}

TEST(LookupTest, ReportsMissingEntries) {
  expect_outcomes({
      {"arista_eos", "4.19", ArpTable, R"(error: no entry for arista_eos Some("4.19") ArpTable)"},
      {"arista_eos", "4.20", PortShutdown,
       R"(error: no entry for arista_eos Some("4.20") PortShutdown)"},
      // Only the first block of a type counts.
      {"arista_eos", "4.20", VlanList, R"(error: no entry for arista_eos Some("4.20") VlanList)"},
      {"arista_eos", "5.0", VlanList, "first block"},
      // The firmware is shown as passed, in debug form.
      {"arista_eos", "4.19\"q\\", ArpTable,
       R"(error: no entry for arista_eos Some("4.19\"q\\") ArpTable)"},
  });
}

TEST(LookupTest, MalformedRangeFailsOnlyItsBlock) {
  expect_outcomes({
      {"arista_eos", "4.20", SviConfig,
       "error: invalid version range '>=abc': can't parse 'abc': invalid firmware version 'abc'"},
      {"arista_eos", "4.20", SviCreate,
       "error: invalid version range '4.20,': can't parse '': invalid firmware version ''"},
      {"arista_eos", "4.20", ArpTable, "show ip arp"},
  });
}

TEST(LookupTest, NotSupportedOnlyWhenChosenAndExact) {
  expect_outcomes({
      {"arista_eos", "4.20.1F", CivicLocation,
       "error: CivicLocation is not supported on arista_eos: Arista EOS does not expose civic "
       "location"},
      {"arista_eos", "4.20", PortPoeOff,
       "error: PortPoeOff is not supported on arista_eos: no PoE on this line"},
      {"arista_eos", "3.0", PortPoeOff, "power inline never"},
      {"arista_eos", "4.20", PortPoeOn, "power inline auto"},
      {"arista_eos", "9.0", PortPoeOn, "error: PortPoeOn is not supported on arista_eos: no PoE"},
      {"arista_eos", "4.20", PortNoShutdown, "no shutdown"},
      {"arista_eos", "4.20", Hostname, "NOT_SUPPORTED\n"},
      {"arista_eos", "4.20", Version, " NOT_SUPPORTED"},
  });
}

TEST(LookupTest, ReturnsTheEntryInsideTheCatalog) {
  const Catalog catalog = sample_catalog();
  const auto result = lookup_command(catalog, "arista_eos", "4.22.1F", StpVlanList);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, &catalog.find("arista_eos")->first_block(StpVlanList)->versions[0]);
}

}  // namespace
}  // namespace ov
