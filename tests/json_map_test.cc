#include "reading/json_map.h"

#include <gtest/gtest.h>

#include "reading/raw_records.h"

namespace ov::reading {
namespace {

TEST(JsonMap, ItemsFieldsAndNestedListsAsRawRecords) {
  const auto map = JsonMap::compile(R"({"records": "data.entries",
      "fields": {"port_channel": "name", "is_up": "up", "protocol": "mode.kind"},
      "lists": {"members": {"records": "ports", "fields": {"interface": "id"}}}})");
  ASSERT_TRUE(map) << map.error();
  EXPECT_EQ(map->header(), (std::vector<std::string>{"port_channel", "is_up", "protocol",
                                                     "members__interface"}));
  const auto parsed = map->parse(R"({"data": {"entries": [
      {"name": "ag1", "up": true, "mode": {"kind": "lacp"}, "ports": [{"id": 3}, {"id": "4"}]},
      {"name": "ag2", "up": null, "ports": []}]}})");
  ASSERT_TRUE(parsed) << parsed.error();
  EXPECT_EQ(raw_records_json(map->header(), parsed->records), Json::parse(R"([
      {"port_channel": "ag1", "is_up": "true", "protocol": "lacp", "members__interface": ""},
      {"port_channel": "", "is_up": "", "protocol": "", "members__interface": "3"},
      {"port_channel": "", "is_up": "", "protocol": "", "members__interface": "4"},
      {"port_channel": "ag2", "is_up": "", "protocol": "", "members__interface": ""}])"));
}

TEST(JsonMap, AnswerShapesAndRefusals) {
  const auto map = JsonMap::compile(R"({"records": "", "fields": {"interfaces": "ports"}})");
  ASSERT_TRUE(map);
  // A lone object is one item; an array of scalars is a List's items.
  const auto one = map->parse(R"({"ports": ["1", 2]})");
  ASSERT_TRUE(one);
  EXPECT_EQ(raw_records_json(map->header(), one->records),
            Json::parse(R"([{"interfaces": ["1", "2"]}])"));
  EXPECT_EQ(map->parse("[]")->records.size(), 0u);
  // "*" goes through an object's members and an array's elements, in order.
  const auto every = JsonMap::compile(R"({"records": "ports.*.lldp", "fields": {"name": "n"}})");
  ASSERT_TRUE(every);
  const auto members = every->parse(R"({"ports": {"1": {"lldp": {"n": "a"}}, "2": {},
                                                  "3": {"lldp": [{"n": "b"}, {"n": "c"}]}}})");
  ASSERT_TRUE(members);
  EXPECT_EQ(raw_records_json(every->header(), members->records),
            Json::parse(R"([{"name": "a"}, {"name": "b"}, {"name": "c"}])"));
  EXPECT_EQ(map->parse("not json").error(), "the answer is not JSON");
  const std::pair<std::string, std::string> bad[] = {
      {"[]", "a map is a JSON object"},
      {R"({"fields": {}})", "records must be a dotted path"},
      {R"({"records": "", "fields": {"a": 1}})", "the path of a is not text"},
      {R"({"records": "", "fields": {}, "lists": {"m": {"records": "x"}}})",
       "the list m needs records and fields"},
  };
  for (const auto& [text, message] : bad) EXPECT_EQ(JsonMap::compile(text).error(), message) << text;
}

}  // namespace
}  // namespace ov::reading
