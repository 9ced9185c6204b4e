// The compiled-in vendor files: checks that catch a damaged or truncated file
// without restating its tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/loader.h"

namespace ov {
namespace {

const Catalog& bundled() {
  static const Catalog catalog = [] {
    auto loaded = load_bundled();
    EXPECT_TRUE(loaded) << loaded.error().message();
    return loaded ? *std::move(loaded) : Catalog{};
  }();
  return catalog;
}

std::vector<const CommandEntry*> entries_of(const VendorFile& file) {
  std::vector<const CommandEntry*> out;
  for (const auto& block : file.commands) {
    for (const auto& entry : block.versions) out.push_back(&entry);
  }
  return out;
}

TEST(BundledCatalog, VendorsAndEntryCountsInTableOrder) {
  const std::vector<std::pair<std::string_view, std::size_t>> expected{
      {"arista_eos", 26},   {"aruba_aoscx", 26},   {"cisco_ios", 28}, {"cisco_nxos", 25},
      {"hpe_procurve", 25}, {"juniper_junos", 25}, {"meraki_ms", 25}};
  std::vector<std::pair<std::string_view, std::size_t>> actual;
  for (const auto& file : bundled().files()) actual.emplace_back(file.vendor, entries_of(file).size());
  EXPECT_EQ(actual, expected);
}

TEST(BundledCatalog, EveryFileHasOneBlockPerTypeInTypeOrder) {
  for (const auto& file : bundled().files()) {
    ASSERT_EQ(file.commands.size(), kCommandTypes.size()) << file.vendor;
    for (std::size_t i = 0; i < kCommandTypes.size(); ++i) {
      EXPECT_EQ(file.commands[i].type, kCommandTypes[i].type) << file.vendor << " block " << i;
      EXPECT_FALSE(file.commands[i].versions.empty()) << file.vendor << " block " << i;
    }
  }
}

TEST(BundledCatalog, RangesParseAndComeFromTheKnownSet) {
  const std::set<std::string> known{"*",      ">=4.20", ">=10.04", ">=10.04,<FL.01.17",
                                    ">=10.05", ">=FL.01.17", ">=12.0", ">=12.0,<15.0",
                                    ">=12.2", ">=15.0", ">=6.0",   ">=7.0",
                                    ">=9.0",  ">=10.0", ">=11.0",  ">=11.1",
                                    ">=12.1", ">=12.3"};
  std::set<std::string> seen;
  for (const auto& file : bundled().files()) {
    for (const CommandEntry* entry : entries_of(file)) {
      EXPECT_TRUE(entry->range.has_value()) << file.vendor << " " << entry->applies_to;
      seen.insert(entry->applies_to);
    }
  }
  EXPECT_EQ(seen, known);
}

TEST(BundledCatalog, EntryTextsHaveTheirShape) {
  std::size_t multi_line = 0;
  std::size_t empty_samples = 0;
  for (const auto& file : bundled().files()) {
    for (const CommandEntry* entry : entries_of(file)) {
      const std::string where = file.vendor + " " + entry->cli.substr(0, 40);
      const std::string_view cli = entry->cli;
      ASSERT_FALSE(cli.empty()) << where;
      if (cli.find('\n') != std::string_view::npos) {
        ++multi_line;
        EXPECT_TRUE(cli.ends_with('\n') && !cli.ends_with("\n\n")) << where;
      }
      EXPECT_EQ(cli.front() == ' ' || cli.back() == ' ', false) << where;
      EXPECT_FALSE(entry->unverified) << where;
      const bool all_present = entry->sample_output && entry->parser_notes &&
                               entry->config_required && entry->notes;
      EXPECT_TRUE(all_present) << where;
      if (entry->sample_output && entry->sample_output->empty()) ++empty_samples;
    }
  }
  EXPECT_EQ(multi_line, 60u);
  EXPECT_EQ(empty_samples, 68u);
}

TEST(BundledCatalog, NotSupportedEntriesCarryTheirExactNotes) {
  const std::map<std::pair<std::string, CommandType>, std::string> expected{
      {{"arista_eos", CommandType::CivicLocation},
       "Arista EOS does not expose LLDP-MED civic location config\n"
       "in the same first-class way Aruba AOS-CX does. EOS supports\n"
       "LLDP-MED Network Policy and basic location TLVs but not the\n"
       "civic-address `location civic-address` config tree. If EOS\n"
       "eventually adds it, the command would likely live under\n"
       "`lldp ... location civic-address`. For now, treat as\n"
       "NOT_SUPPORTED \xE2\x80\x94 this is the correct behavior for a vendor\n"
       "that genuinely doesn't expose the operation.\n"},
      {{"hpe_procurve", CommandType::CivicLocation},
       "Legacy ProCurve / ArubaOS-Switch does NOT support\n"
       "LLDP-MED civic location TLV configuration. LLDP-MED on\n"
       "this platform is limited to the network-policy TLV\n"
       "(voice-VLAN advertisement to IP phones) and the\n"
       "power-via-MDI TLV \xE2\x80\x94 civic / ELIN E911 location TLVs are\n"
       "an AOS-CX-and-newer capability. Compliance flows that\n"
       "depend on civic-location reporting must either skip this\n"
       "vendor or fall back to operator-supplied static metadata.\n"},
      {{"meraki_ms", CommandType::CivicLocation},
       "Meraki MS does not expose LLDP-MED civic location data via\n"
       "the Dashboard API. Civic location is an Aruba / IOS-XE\n"
       "feature in this catalog; not equivalent on Meraki.\n"},
      {{"meraki_ms", CommandType::SaveConfig},
       "Trawlmark's `SAVE_CONFIG` step after a write is a NO-OP for\n"
       "Meraki and should be elided in the abstract command sequence.\n"
       "The PUT itself was the persistence event.\n"},
  };
  std::map<std::pair<std::string, CommandType>, std::string> actual;
  for (const auto& file : bundled().files()) {
    for (const auto& block : file.commands) {
      for (const auto& entry : block.versions) {
        if (entry.cli != "NOT_SUPPORTED") continue;
        EXPECT_EQ(entry.applies_to, "*");
        actual[{file.vendor, block.type}] = entry.notes.value_or("");
      }
    }
  }
  EXPECT_EQ(actual, expected);
}

TEST(BundledCatalog, IdentitiesAndNotesAreFilledIn) {
  for (const auto& file : bundled().files()) {
    EXPECT_FALSE(file.display_name.empty() || file.manufacturer.empty() ||
                 file.product_family.empty())
        << file.vendor;
    ASSERT_TRUE(file.notes) << file.vendor;
    EXPECT_GE(file.notes->size(), 1100u) << file.vendor;
    EXPECT_LE(file.notes->size(), 2700u * 3) << file.vendor;  // bytes, not characters
    EXPECT_FALSE(file.sources.empty()) << file.vendor;
    for (const auto& source : file.sources) EXPECT_EQ(source.accessed, "2026-04-28");
  }
}

}  // namespace
}  // namespace ov
