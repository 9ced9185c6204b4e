// The compiled-in vendor files: checks that catch a damaged or truncated file
// without restating its tables.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(BundledCatalog, EveryFileHasOneBlockPerTypeInTypeOrder) {
  for (const auto& file : bundled().files()) {
    ASSERT_EQ(file.commands.size(), kCommandTypes.size()) << file.vendor;
    for (std::size_t i = 0; i < kCommandTypes.size(); ++i) {
      EXPECT_EQ(file.commands[i].type, kCommandTypes[i].type) << file.vendor << " block " << i;
      EXPECT_FALSE(file.commands[i].versions.empty()) << file.vendor << " block " << i;
    }
  }
}

TEST(BundledCatalog, EntriesAndIdentitiesHaveTheirShape) {
  for (const auto& file : bundled().files()) {
    EXPECT_FALSE(file.display_name.empty() || file.manufacturer.empty() ||
                 file.product_family.empty() || !file.notes || file.sources.empty())
        << file.vendor;
    for (const CommandEntry* entry : entries_of(file)) {
      const std::string where = file.vendor + " " + entry->applies_to + " " + entry->cli;
      const std::string_view cli = entry->cli;
      EXPECT_TRUE(entry->range.has_value()) << where;
      ASSERT_FALSE(cli.empty()) << where;
      // One final line break on a multi-line text, no stray spaces at the ends.
      if (cli.find('\n') != std::string_view::npos) {
        EXPECT_TRUE(cli.ends_with('\n') && !cli.ends_with("\n\n")) << where;
      }
      EXPECT_FALSE(cli.front() == ' ' || cli.back() == ' ') << where;
      EXPECT_FALSE(entry->unverified) << where;
      EXPECT_TRUE(entry->sample_output && entry->parser_notes && entry->config_required &&
                  entry->notes)
          << where;
      if (cli == "NOT_SUPPORTED") {
        EXPECT_EQ(entry->applies_to, "*") << where;
      }
    }
  }
}

}  // namespace
}  // namespace ov
