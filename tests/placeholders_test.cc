#include "lookup/placeholders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

using Names = std::vector<std::string>;

Settings settings(const std::vector<std::pair<std::string, std::string>>& values) {
  Settings settings;
  for (const auto& [name, value] : values) EXPECT_TRUE(settings.set(name, value)) << name;
  return settings;
}

TEST(Placeholders, OnlyBracedIdentifiersInOrderOfFirstAppearance) {
  const std::pair<std::string, Names> rows[] = {
      {"interface {interface}\n vlan {vlan_id} {interface}", {"interface", "vlan_id"}},
      // JSON bodies keep their braces; a placeholder inside one still counts.
      {R"(body: {"name": "{name}", "vlan": {vlan_id}})", {"name", "vlan_id"}},
      {R"({"enabled": true} {1x} {a b} {} {x-y} {_ok9})", {"_ok9"}},
      {"{{x}} {unclosed", {"x"}},
  };
  for (const auto& [text, names] : rows) EXPECT_EQ(placeholder_names(text), names) << text;
}

TEST(Placeholders, FillReplacesEachOnceAndNamesEveryMissingOne) {
  const Settings given = settings({{"interface", "Gi1/0/1"}, {"vlan_id", "9"}, {"vlan_id", "{name}"}});
  EXPECT_EQ(given.fill(R"(int {interface} {"v": {vlan_id}})"),
            R"(int Gi1/0/1 {"v": {name}})");  // last value wins; values are not searched
  EXPECT_EQ(given.fill("{b} {interface} {a} {b}").error(), (Names{"b", "a"}));
  EXPECT_EQ(missing_placeholders({"b", "a", "c"}).message, "no value for {b}, {a} and {c}");
  EXPECT_EQ(settings({{"empty", ""}}).fill("[{empty}]"), "[]");
}

TEST(Placeholders, NamesThatAreNoIdentifierAreRefused) {
  for (const char* name : {"", "1x", "a b", "x-y"}) {
    Settings settings;
    EXPECT_FALSE(settings.set(name, "v")) << name;
  }
}

}  // namespace
}  // namespace ov
