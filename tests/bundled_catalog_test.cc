// The compiled-in vendor files: checks that catch a damaged or truncated file
// without restating its tables.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "catalog/loader.h"

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

}  // namespace
}  // namespace ov
