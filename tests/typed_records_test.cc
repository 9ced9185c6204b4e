#include "reading/typed_records.h"

#include <gtest/gtest.h>

namespace ov::reading {
namespace {

using Header = std::vector<std::string>;
using Rows = std::vector<std::vector<parse::Field>>;
using Defaults = std::map<std::string, std::string, std::less<>>;

Json read(CommandType type, const std::vector<std::pair<Header, Rows>>& answers,
          const Defaults& defaults = {}) {
  std::vector<parse::Records> tables;
  for (const auto& [header, rows] : answers) {
    tables.emplace_back(header.size());
    for (const auto& row : rows) tables.back().add(row);
  }
  std::vector<RawAnswer> raw;
  for (std::size_t a = 0; a < answers.size(); ++a) raw.push_back({&answers[a].first, &tables[a]});
  return typed_records(record_schema(type), raw, defaults);
}

TEST(TypedRecords, NestedItemsMergeByKeyAndContinuationRows) {
  const Header header{"port_channel", "protocol", "members__interface", "members__bundled"};
  const Rows rows{{"Po1", "LACP", "Gi1/0/1", "P"},
                  {"", "", "Gi1/0/2", "s"},       // continues Po1
                  {"Po2", "on", "", ""},          // an aggregate without members
                  {"Po1", "", "Gi1/0/3", "P"}};   // the same key again
  const Json records = read(CommandType::PortChannelMembers, {{header, rows}});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]["protocol"], "lacp");
  EXPECT_EQ(records[0]["is_up"], nullptr);
  EXPECT_EQ(records[0]["members"],
            Json::parse(R"([{"interface":"Gi1/0/1","bundled":true},
                            {"interface":"Gi1/0/2","bundled":false},
                            {"interface":"Gi1/0/3","bundled":true}])"));
  EXPECT_EQ(records[1], Json::parse(
                            R"({"port_channel":"Po2","protocol":"static","is_up":null,"members":[]})"));
}

TEST(TypedRecords, OneRecordTypesMergeEveryAnswer) {
  const Header version{"os_version", "uptime", "model"};
  const Header inventory{"model", "serial_number"};
  const Json records = read(CommandType::Version, {{version, {{"4.22.1F", "1 day, 2 hours", ""}}},
                                                   {inventory, {{"DCS-7050", "JPE1"}}}});
  EXPECT_EQ(records, Json::parse(R"([{"os_version":"4.22.1F","firmware":null,"model":"DCS-7050",
                                     "serial_number":"JPE1","uptime":93600,"hostname":null}])"));
  EXPECT_EQ(read(CommandType::Hostname, {{{"hostname"}, {}}}), Json::array());
}

TEST(TypedRecords, MinutesDefaultsAndWriteResults) {
  const Json arp = read(CommandType::ArpTable,
                        {{{"ip", "age__minutes", "mac"}, {{"10.0.0.1", "5", "Incomplete"}}}});
  EXPECT_EQ(arp[0]["age"], 300);
  EXPECT_EQ(arp[0]["mac"], nullptr);
  const Json config = read(CommandType::InterfaceConfig,
                           {{{"interface", "enabled", "lines"},
                             {{"Gi1/0/1", "", std::vector<std::string_view>{"description x"}},
                              {"Gi1/0/2", "shutdown", std::vector<std::string_view>{"shutdown"}}}}},
                           {{"enabled", "no shutdown"}});
  EXPECT_EQ(config[0]["enabled"], true);
  EXPECT_EQ(config[1]["enabled"], false);
  EXPECT_EQ(config[0]["lines"], Json::array({"description x"}));
  const Header write{"error", "warning"};
  EXPECT_EQ(read(CommandType::PortShutdown, {{write, {{std::vector<std::string_view>{},
                                                       std::vector<std::string_view>{"% note"}}}}}),
            Json::parse(R"([{"ok":true,"messages":["% note"]}])"));
  EXPECT_EQ(read(CommandType::SaveConfig,
                 {{write, {{std::vector<std::string_view>{"% Invalid input"}, std::vector<std::string_view>{}}}}}),
            Json::parse(R"([{"ok":false,"messages":["% Invalid input"]}])"));
}

TEST(TypedRecords, UnknownValuesAreNamed) {
  EXPECT_EQ(unknown_values(record_schema(CommandType::MacTable),
                           {"mac", "vlan", "members__interface", "age__minutes", "port"}),
            (std::vector<std::string>{"members__interface", "age__minutes", "port"}));
  EXPECT_EQ(unknown_values(record_schema(CommandType::SaveConfig), {"error", "mac"}),
            (std::vector<std::string>{"mac"}));
}

}  // namespace
}  // namespace ov::reading
