// The checks of `vantrel check` that read names and lines rather than a parsed file.
#include "check/lint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::check {
namespace {

TEST(Lint, NearMissNamesAreThoseMeantAsYaml) {
  const std::pair<std::string_view, std::optional<std::string>> rows[] = {
      {"lab.yml", "lab.yaml"},   {"LAB.YAML", "LAB.yaml"},    {"a.b.Yml", "a.b.yaml"},
      {"lab.yaml ", "lab.yaml"}, {"lab.YML\t", "lab.yaml"},   {"lab.yaml", std::nullopt},
      {".yml", std::nullopt},    {"lab.yaml~", std::nullopt}, {"lab.yaml.bak", std::nullopt},
      {"README", std::nullopt},  {"lab.ymlx", std::nullopt},  {"lab.txt", std::nullopt},
  };
  for (const auto& [name, suggested] : rows) EXPECT_EQ(near_miss_name(name), suggested) << name;
}

TEST(Lint, AnUnquotedRangeTheParserStumbledOnIsShownQuoted) {
  const std::pair<std::string, std::string_view> rows[] = {
      {"*", R"( (quote the range: applies_to: "*"))"},
      {">=16.0 # new", R"( (quote the range: applies_to: ">=16.0"))"},
      {R"(">=16.0)", ""},  // quoted already, though never closed
  };
  const auto hint = [](std::string_view s) { return s.substr(std::min(s.find(" (q"), s.size())); };
  for (const auto& [value, expected] : rows) {
    std::vector<Finding> found;
    check_text("f.yaml", "vendor: x\nversions:\n  - applies_to: " + value + "\n", found);
    ASSERT_EQ(found.size(), 1u) << value;
    EXPECT_EQ(hint(found[0].message), expected) << value;
    EXPECT_EQ(hint(found[0].text), expected) << value;
  }
}

// One block of two entries: the second is never chosen when its range reads
// as the first one's, however it is written.
TEST(Lint, AnEntryWithTheRangeOfAnEarlierOneIsReported) {
  struct Row {
    std::string_view first, second;
    bool shadowed;
  };
  const Row rows[] = {
      {">=4.20", ">= 4.20", true},
      {">=4.20", ">=4.20.0F", true},  // the suffix never takes part
      {"=4.2", "4.2", true},
      {"*", " * ", true},
      {">=4.20,<4.24", "<4.24, >=4.20", true},
      {">=4.20,<4.24||>=4.28", ">=4.28||<4.24,>=4.20", true},
      {">=4.20", ">4.20", false},
      {">=4.20", ">=4.20,>=4.20", false},  // more comparators: chosen first
      {">=4.20,<4.24||>=4.28", ">=4.20||<4.24,>=4.28", false},
      {">=FL.10.13", ">=10.13", false},  // the prefix gates
      {">=FL.10.13", ">=GL.10.13", false},
      {">=abc", ">=abc", false},  // reported as ranges that do not parse
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.first) + " then " + std::string(row.second));
    const std::string text =
        "vendor: x\ndisplay_name: D\nmanufacturer: M\nproduct_family: P\ncommands:\n"
        "  - type: ARP_TABLE\n    versions:\n      - applies_to: \"" +
        std::string(row.first) + "\"\n        cli: a\n      - applies_to: \"" +
        std::string(row.second) + "\"\n        cli: b\n";
    std::vector<Finding> found;
    check_text("f.yaml", text, found);
    std::erase_if(found, [](const Finding& f) { return f.kind != FindingKind::ShadowedEntry; });
    ASSERT_EQ(found.size(), row.shadowed ? 1u : 0u);
    if (!row.shadowed) continue;
    EXPECT_EQ(found[0].text,
              "commands[0].versions[1].applies_to: same range as "
              "commands[0].versions[0] (\"" +
                  std::string(row.first) +
                  "\"): lookups choose that entry, never this one at line 10 "
                  "column 21");
  }
}

}  // namespace
}  // namespace ov::check
