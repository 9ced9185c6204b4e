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

enum class Outcome { Text, NoBlock, Error };

struct Row {
  std::string_view vendor;
  std::string_view firmware;
  CommandType command;
  Outcome outcome;
  std::string_view expected;  // the cli text, or the error message
};

void expect_outcomes(const Catalog& catalog, std::initializer_list<Row> rows) {
  for (const auto& row : rows) {
    SCOPED_TRACE("vendor '" + std::string(row.vendor) + "' firmware '" + std::string(row.firmware) +
                 "' " + std::string(yaml_name(row.command)));
    const auto result = lookup_command(catalog, row.vendor, row.firmware, row.command);
    switch (row.outcome) {
      case Outcome::Text:
        ASSERT_TRUE(result.has_value()) << result.error().message();
        ASSERT_NE(*result, nullptr);
        EXPECT_EQ((*result)->cli, row.expected);
        break;
      case Outcome::NoBlock:
        ASSERT_TRUE(result.has_value()) << result.error().message();
        EXPECT_EQ(*result, nullptr);
        break;
      case Outcome::Error:
        ASSERT_FALSE(result.has_value()) << (*result ? (*result)->cli : "no block");
        EXPECT_EQ(result.error().message(), row.expected);
        break;
    }
  }
}

using enum CommandType;
using enum Outcome;

TEST(LookupTest, ChecksInOrder) {
  expect_outcomes(
      sample_catalog(),
      {
          {"cisco_ios_xe", "not a version", ArpTable, Error, "unknown vendor: cisco_ios_xe"},
          {"Arista_EOS", "4.20", ArpTable, Error, "unknown vendor: Arista_EOS"},
          {"arista_eos", "switch-15-21", InterfaceConfig, Error,
           "invalid firmware version 'switch-15-21'"},
          {"arista_eos", "4.20", InterfaceConfig, NoBlock, ""},
      });
}

TEST(LookupTest, ChoosesTheMostSpecificMatch) {
  expect_outcomes(sample_catalog(),
                  {
                      {"arista_eos", "4.22.1F", StpVlanList, Text, "show spanning-tree"},
                      {"arista_eos", "4.22", MacTable, Text, "three"},
                      {"arista_eos", "4.25", MacTable, Text, "two"},
                      {"arista_eos", "4.31", MacTable, Text, "three"},
                      {"aruba_aoscx", "FL.10.13.1000", PortPolicyPush, Text, "percent form"},
                      {"arista_eos", " 4.20 ", InterfaceStats, Text,
                       "show interfaces counters\nshow interfaces status\n"},
                  });
}

TEST(LookupTest, ReportsMissingEntries) {
  expect_outcomes(sample_catalog(),
                  {
                      {"arista_eos", "4.19", ArpTable, Error,
                       R"(no entry for arista_eos Some("4.19") ArpTable)"},
                      {"arista_eos", "4.20", PortShutdown, Error,
                       R"(no entry for arista_eos Some("4.20") PortShutdown)"},
                      // Only the first block of a type counts.
                      {"arista_eos", "4.20", VlanList, Error,
                       R"(no entry for arista_eos Some("4.20") VlanList)"},
                      {"arista_eos", "5.0", VlanList, Text, "first block"},
                      // The firmware is shown as passed, in debug form.
                      {"arista_eos", "4.19\"q\\", ArpTable, Error,
                       R"(no entry for arista_eos Some("4.19\"q\\") ArpTable)"},
                  });
}

TEST(LookupTest, MalformedRangeFailsOnlyItsBlock) {
  const std::string bad_svi =
      "invalid version range '>=abc': can't parse 'abc': invalid firmware version 'abc'";
  const std::string bad_svi_create =
      "invalid version range '4.20,': can't parse '': invalid firmware version ''";
  expect_outcomes(sample_catalog(), {
                                        {"arista_eos", "4.20", SviConfig, Error, bad_svi},
                                        {"arista_eos", "4.20", SviCreate, Error, bad_svi_create},
                                        {"arista_eos", "4.20", ArpTable, Text, "show ip arp"},
                                    });
}

TEST(LookupTest, NotSupportedOnlyWhenChosenAndExact) {
  expect_outcomes(
      sample_catalog(),
      {
          {"arista_eos", "4.20.1F", CivicLocation, Error,
           "CivicLocation is not supported on arista_eos: Arista EOS does not expose civic "
           "location"},
          {"arista_eos", "4.20", PortPoeOff, Error,
           "PortPoeOff is not supported on arista_eos: no PoE on this line"},
          {"arista_eos", "3.0", PortPoeOff, Text, "power inline never"},
          {"arista_eos", "4.20", PortPoeOn, Text, "power inline auto"},
          {"arista_eos", "9.0", PortPoeOn, Error,
           "PortPoeOn is not supported on arista_eos: no PoE"},
          {"arista_eos", "4.20", PortNoShutdown, Text, "no shutdown"},
          {"arista_eos", "4.20", Hostname, Text, "NOT_SUPPORTED\n"},
          {"arista_eos", "4.20", Version, Text, " NOT_SUPPORTED"},
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
