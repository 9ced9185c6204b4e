// The compiled-in vendor files: checks that catch a damaged or truncated file
// without restating its tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "catalog/loader.h"
#include "catalog/lookup.h"

namespace ov {
namespace {

TEST(BundledCatalog, EveryFileIsWholeAndEveryEntryHasItsShape) {
  const auto catalog = load_bundled();
  ASSERT_TRUE(catalog) << catalog.error().message();
  ASSERT_EQ(catalog->files().size(), 7u);
  for (const auto& file : catalog->files()) {
    EXPECT_FALSE(file.display_name.empty() || file.manufacturer.empty() ||
                 file.product_family.empty() || !file.notes || file.sources.empty())
        << file.vendor;
    // The platform notes stay a page long: merged and shortened as they grow.
    const std::string notes = file.notes.value_or("");
    const auto characters =
        std::ranges::count_if(notes, [](char c) { return (c & 0xC0) != 0x80; });  // UTF-8
    EXPECT_TRUE(characters >= 1100 && characters <= 2700) << file.vendor << ": " << characters;
    // One block per type, in the vocabulary's order.
    ASSERT_EQ(file.commands.size(), kCommandTypes.size()) << file.vendor;
    for (std::size_t i = 0; i < kCommandTypes.size(); ++i) {
      const CommandBlock& block = file.commands[i];
      EXPECT_EQ(block.type, kCommandTypes[i].type) << file.vendor << " block " << i;
      EXPECT_FALSE(block.versions.empty()) << file.vendor << " block " << i;
      for (const CommandEntry& entry : block.versions) {
        const std::string where = file.vendor + " " + entry.applies_to + " " + entry.cli;
        const std::string_view cli = entry.cli;
        EXPECT_TRUE(entry.range.has_value()) << where;
        ASSERT_FALSE(cli.empty()) << where;
        // One final line break on a multi-line text, no stray spaces at the ends.
        if (cli.find('\n') != std::string_view::npos) {
          EXPECT_TRUE(cli.ends_with('\n') && !cli.ends_with("\n\n")) << where;
        }
        EXPECT_FALSE(cli.front() == ' ' || cli.back() == ' ' || entry.unverified) << where;
        EXPECT_TRUE(entry.sample_output && entry.parser_notes && entry.config_required &&
                    entry.notes)
            << where;
        EXPECT_TRUE(cli != "NOT_SUPPORTED" || entry.applies_to == "*") << where;
      }
    }
  }
}

// A lookup's outcome in a word, by LookupStatus, when it is not the text itself.
constexpr std::string_view kWords[] = {"(text)",          "(no block)",       "(no entry)",
                                       "(not supported)", "(unknown vendor)", "(invalid)",
                                       "(invalid range)"};

TEST(BundledCatalog, WorkedLookupsAndTheFirmwareEdgesOfEachTable) {
  using enum CommandType;
  struct Row {
    std::string_view vendor, firmware;
    CommandType command;
    std::string_view expected;  // the text, "~x" for a text with x, or a word
  };
  const Row rows[] = {
      // Worked examples.
      {"cisco_ios", "16.12.4", MacTable, "show mac address-table"},
      {"cisco_ios", "12.2(55)SE12", MacTable, "show mac-address-table"},
      {"arista_eos", "4.20.1F", InterfaceConfig, "show running-config interfaces {interface}"},
      {"aruba_aoscx", "10.13", PortPolicyPush, "~{percent} percent"},
      {"aruba_aoscx", "GL.10.13", PortPolicyPush, "(no entry)"},
      {"cisco_nxos", "5.2(1)", ArpTable, "(no entry)"},
      {"hpe_procurve", "16.10.0021", ArpTable, "show arp"},
      {"meraki_ms", "switch-15-21", ArpTable, "(invalid)"},
      {"meraki_ms", "15.21", ArpTable, kWords[0]},
      // Aruba: the kbps form never wins. Then 12.x, NX-OS and Junos floors.
      {"aruba_aoscx", "FL.10.13.1000", PortPolicyPush, "~{percent} percent"},
      {"aruba_aoscx", "10.04", CivicLocation, "(no entry)"},
      {"cisco_ios", "12.2", LldpDetail, kWords[0]},
      {"cisco_nxos", "7.0(3)I7(9)", PortPoeOn, kWords[0]},
      {"juniper_junos", "10.4R3", ArpTable, "show arp no-resolve | no-more"},
      {"juniper_junos", "1.0", SaveConfig, "commit"},
      // NOT_SUPPORTED applies to every firmware.
      {"arista_eos", "4.30.1F", CivicLocation, "(not supported)"},
      {"meraki_ms", "15.21", SaveConfig, "(not supported)"},
  };
  const auto catalog = load_bundled();
  ASSERT_TRUE(catalog);
  for (const auto& [vendor, firmware, command, expected] : rows) {
    const auto outcome = classify_lookup(*catalog, vendor, firmware, command);
    const bool text = outcome.status == LookupStatus::Text && expected != kWords[0];
    const std::string_view got = text ? outcome.text() : kWords[static_cast<int>(outcome.status)];
    EXPECT_TRUE(expected.starts_with('~') ? got.find(expected.substr(1)) != got.npos
                                          : got == expected)
        << vendor << " " << firmware << " " << yaml_name(command) << ": " << got;
  }
}

}  // namespace
}  // namespace ov
