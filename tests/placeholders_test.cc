#include "lookup/placeholders.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "catalog/command_type.h"
#include "catalog/loader.h"

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

TEST(Placeholders, ValuesWithAControlCharacterAreRefusedNamingThePlaceholder) {
  const std::pair<std::string, bool> rows[] = {
      {"Gi1/0/1\nreload", false},
      {"a\r", false},
      {"\t", false},
      {"\x1b[2J", false},
      {"x\x7f", false},
      {std::string("a\0b", 3), false},
      {"uplink \"core\" \\ 1", true},
      {"caf\xc3\xa9 ~", true},
      {"", true},
  };
  for (const auto& [value, accepted] : rows) {
    SCOPED_TRACE(value);
    Settings settings;
    const auto set = settings.set("interface", value);
    ASSERT_EQ(set.has_value(), accepted);
    if (!accepted) {
      EXPECT_EQ(set.error().message,
                "value of {interface} holds a control character (a line break would start "
                "another command)");
    }
  }
}

TEST(Placeholders, InsideAJsonStringOfABodyTheValueIsJsonEscaped) {
  const Settings given = settings({{"v", R"(a "b" \ c)"}});
  const std::pair<std::string_view, std::string_view> rows[] = {
      {R"(body: {"name": "{v}"})", R"(body: {"name": "a \"b\" \\ c"})"},
      {R"({"a": [{"b": "x {v}"}], "c": "}{"})", R"({"a": [{"b": "x a \"b\" \\ c"}], "c": "}{"})"},
      // An escaped quote does not end the string.
      {R"({"a": "\" {v}"})", R"({"a": "\" a \"b\" \\ c"})"},
      // A bare JSON value, a CLI line's quotes, and after the body: as given.
      {R"({"vlan": {v}})", R"({"vlan": a "b" \ c})"},
      {R"(name "{v}")", R"(name "a "b" \ c")"},
      {R"({"a": 1} "{v}")", R"({"a": 1} "a "b" \ c")"},
  };
  for (const auto& [text, filled] : rows) EXPECT_EQ(given.fill(text), filled) << text;
}

TEST(Placeholders, TheMerakiBodiesStayJsonWithAnyValue) {
  const auto catalog = load_bundled();
  ASSERT_TRUE(catalog) << catalog.error().message();
  const VendorFile* meraki = catalog->find("meraki_ms");
  ASSERT_NE(meraki, nullptr);
  const std::string name = "core \"A\" \\ B {x} ü";
  const Settings given = settings({{"name", name},
                                   {"vlan_id", "10"},
                                   {"cidr", "10.0.0.0/24"},
                                   {"ip_address", "10.0.0.2"},
                                   {"gateway_ip", "10.0.0.1"},
                                   {"serial", "Q"},
                                   {"networkId", "N"}});
  for (const CommandType type : {CommandType::VlanCreate, CommandType::SviCreate}) {
    SCOPED_TRACE(yaml_name(type));
    const CommandBlock* block = meraki->first_block(type);
    ASSERT_NE(block, nullptr);
    const auto filled = given.fill(block->versions.front().cli);
    ASSERT_TRUE(filled);
    // A body is the rest of its "body: " line, or from a lone "{" to the line "}".
    std::size_t bodies = 0;
    for (std::size_t at = filled->find("body: "); at != std::string::npos;
         at = filled->find("body: ", at + 1), ++bodies) {
      at += 6;
      const bool spread = filled->compare(at, 2, "{\n") == 0;
      const std::size_t end = spread ? filled->find("\n}", at) + 2 : filled->find('\n', at);
      const Json body = Json::parse(filled->substr(at, end - at), nullptr, false);
      ASSERT_FALSE(body.is_discarded()) << filled->substr(at, end - at);
      EXPECT_EQ(body["name"], name);
    }
    EXPECT_GT(bodies, 0u);
  }
}

TEST(Placeholders, NamesSetThatNoTextUsesInTheOrderSet) {
  const Settings given = settings({{"zeta", "1"}, {"interface", "e1"}, {"alpha", "2"}});
  const std::string_view one[] = {"interface {interface}"};
  const std::string_view two[] = {"{alpha}", R"({"x": "{interface}"})"};
  EXPECT_EQ(given.unused_in(one), (Names{"zeta", "alpha"}));
  EXPECT_EQ(given.unused_in(two), (Names{"zeta"}));
  EXPECT_EQ(given.unused_in({}), (Names{"zeta", "interface", "alpha"}));
  EXPECT_EQ(unused_setting_message("bogus", UnusedScope::Text),
            "bogus is not a placeholder of the text");
  EXPECT_EQ(unused_setting_message("bogus", UnusedScope::Table),
            "bogus is not a placeholder of any text of the table");
}

TEST(Placeholders, NamesThatAreNoIdentifierAreRefused) {
  for (const char* name : {"", "1x", "a b", "x-y"}) {
    Settings settings;
    EXPECT_FALSE(settings.set(name, "v")) << name;
  }
}

}  // namespace
}  // namespace ov
