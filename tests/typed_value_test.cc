#include "reading/typed_value.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ov::reading {
namespace {

TEST(TypedValue, MacForms) {
  const std::pair<std::string, std::optional<std::string>> rows[] = {
      {"aabb.ccdd.eeff", "AA:BB:CC:DD:EE:FF"}, {"00:1c:73:AA:bb:0c", "00:1C:73:AA:BB:0C"},
      {"00-1c-73-aa-bb-0c", "00:1C:73:AA:BB:0C"}, {"001c73-aabb0c", "00:1C:73:AA:BB:0C"},
      {" 001c73aabb0c ", "00:1C:73:AA:BB:0C"},   {"Incomplete", std::nullopt},
      {"aabb.ccdd.eef", std::nullopt},          {"aabb.ccdd.eeff.00", std::nullopt},
  };
  for (const auto& [text, mac] : rows) EXPECT_EQ(normal_mac(text), mac) << text;
}

TEST(TypedValue, Durations) {
  const std::pair<std::string, std::optional<long long>> rows[] = {
      {"123", 123},
      {"00:05:12", 312},
      {"05:12", 312},
      {"1d02h", 93600},
      {"2w3d", 1468800},
      {"1h2m3s", 3723},
      {"1 day, 2 hours, 3 minutes", 93780},
      {"3 weeks, 4 days, 5 hours, 6 minutes", 2178360},
      {"1 year, 2 weeks", 32745600},
      {"never", std::nullopt},
      {"-", std::nullopt},
      {"1:2:3:4", std::nullopt},
      {"5 fortnights", std::nullopt},
  };
  for (const auto& [text, seconds] : rows) EXPECT_EQ(duration_seconds(text), seconds) << text;
}

TEST(TypedValue, VlanLists) {
  using V = std::vector<int>;
  const std::pair<std::string, std::optional<V>> rows[] = {
      {"1-3,7, 10-11", V{1, 2, 3, 7, 10, 11}},
      {"5 6", V{5, 6}},
      {"none", V{}},
      {"0-2", std::nullopt},
      {"3-1", std::nullopt},
      {"4095", std::nullopt},
      {"x", std::nullopt},
  };
  for (const auto& [text, vlans] : rows) EXPECT_EQ(vlan_list(text), vlans) << text;
  EXPECT_EQ(vlan_list("ALL")->size(), 4094u);
  // A list may not name more VLANs than exist, however it is written.
  EXPECT_EQ(vlan_list("1-4094,1-4094"), std::nullopt);
}

TEST(TypedValue, SpeedsAndPrefixes) {
  const std::pair<std::string, std::optional<long long>> speeds[] = {
      {"1000", 1000}, {"1000Mb/s", 1000}, {"1Gb/s", 1000},     {"10G", 10000},
      {"100M", 100},  {"a-1000", 1000},   {"10 Gbps", 10000}, {"25000 Mbit", 25000},
      {"auto", std::nullopt}, {"2.5G", 2500}, {"fast", std::nullopt},
  };
  for (const auto& [text, mbits] : speeds) EXPECT_EQ(speed_mbits(text), mbits) << text;
  const std::pair<std::string, std::optional<std::string>> prefixes[] = {
      {"10.0.0.1/24", "10.0.0.1/24"},
      {"10.0.0.1 255.255.255.0", "10.0.0.1/24"},
      {"10.0.0.1 255.255.255.255", "10.0.0.1/32"},
      {"10.0.0.1 255.0.255.0", std::nullopt},
      {"2001:db8::1/64", "2001:db8::1/64"},
  };
  for (const auto& [text, prefix] : prefixes) EXPECT_EQ(address_prefix(text), prefix) << text;
}

TEST(TypedValue, ByKind) {
  const Word words[] = {{"static", "true"}, {"dynamic", "false"}};
  const Word choices[] = {{"LACP", "lacp"}, {"on", "static"}};
  const FieldSpec text{"f", FieldKind::Text, ""};
  const FieldSpec lower{"f", FieldKind::Lower, ""};
  const FieldSpec number{"f", FieldKind::Int, ""};
  const FieldSpec flag{"f", FieldKind::Bool, "", words};
  const FieldSpec choice{"f", FieldKind::Choice, "", choices};
  const FieldSpec texts{"f", FieldKind::Texts, ""};
  const FieldSpec caps{"f", FieldKind::Caps, ""};
  using T = std::vector<std::string>;
  struct Row {
    const FieldSpec& field;
    T texts;
    Json typed;
  };
  const Row rows[] = {
      {text, {"  a b "}, "a b"},
      {text, {"line 1", "", "line 2"}, "line 1\nline 2"},
      {text, {" "}, nullptr},
      {lower, {"Active"}, "active"},
      {number, {"1,234,567"}, 1234567},
      {number, {"12a"}, nullptr},
      {flag, {"STATIC"}, true},
      {flag, {"Dynamic"}, false},
      {flag, {"sometimes"}, nullptr},
      {choice, {"lacp"}, "lacp"},
      {choice, {"PAgP"}, nullptr},
      {texts, {"Et1, Et2,,Et3"}, Json::array({"Et1", "Et2", "Et3"})},
      {texts, {"Et1", " ", "Et2"}, Json::array({"Et1", "Et2"})},
      {texts, {}, Json::array()},
      {caps, {"B, R"}, Json::array({"bridge", "router"})},
      {caps, {"Bridge, WLAN Access Point, Router"},
       Json::array({"bridge", "wlan-access-point", "router"})},
      {caps, {"Router Switch IGMP"}, Json::array({"router", "switch", "igmp"})},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(typed_value(row.field, row.texts), row.typed) << Json(row.texts).dump();
  }
}

}  // namespace
}  // namespace ov::reading
