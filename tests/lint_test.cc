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

}  // namespace
}  // namespace ov::check
