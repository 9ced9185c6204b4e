// Reading vendor files: the rules, their messages, and the paths and
// positions that name the offending node.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "catalog/loader.h"

namespace ov {
namespace {

// The smallest file that loads, to which each case adds or changes lines.
constexpr std::string_view kHead =
    "vendor: lab\n"
    "display_name: Lab\n"
    "manufacturer: Lab Inc\n"
    "product_family: Lab OS\n";

std::string with_head(std::string_view rest) { return std::string(kHead) + std::string(rest); }

std::string rejection(std::string_view text) {
  auto file = parse_vendor_file(text);
  if (file) return "(loaded)";
  return file.error().render();
}

struct Rejected {
  const char* name;
  std::string text;
  std::string message;
};

// The test log names a row, instead of dumping its bytes.
void PrintTo(const Rejected& row, std::ostream* out) { *out << row.name; }

class Rejection : public testing::TestWithParam<Rejected> {};

TEST_P(Rejection, NamesNodeAndPosition) {
  EXPECT_EQ(rejection(GetParam().text), GetParam().message);
}

// One VERSION block with one entry, and a capability whose extra keys are kept.
const std::string kEntry =
    with_head("commands:\n- type: VERSION\n  versions:\n  - applies_to: '*'\n    cli: a\n");
std::string snmp_extra(std::string_view value) {
  return with_head("protocol_capabilities:\n  snmp:\n    x: " + std::string(value) +
                   "\ncommands: []\n");
}

std::string repeated(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Each "\L" (two bytes) unescapes to U+2028 (three bytes): the scalars
// outgrow the text they came from, and must still arrive whole.
const std::string kGrowingScalar = with_head("commands:\n- \"" + repeated("\\L", 1500) + "\"\n");
const std::string kGrowingScalarMessage = "commands[0]: invalid type: string \"" +
                                          repeated("\\u{2028}", 1500) +
                                          "\", expected struct CommandBlock at line 6 column 3";

// A flow mapping of twenty entries, written forwards or backwards: equal
// either way, and large enough to be compared through a hash index.
std::string twenty_entries(bool backwards) {
  std::string out = "{";
  for (int i = 0; i < 20; ++i) {
    const int k = backwards ? 19 - i : i;
    out += (i ? ", k" : "k") + std::to_string(k) + ": " + std::to_string(k);
  }
  return out + "}";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Rejection,
    testing::Values(
        Rejected{"only_comments", "# nothing\n\n", "missing field `vendor` at line 3 column 1"},
        // A UTF-8 byte-order mark before the text is not part of the first line.
        Rejected{"byte_order_mark", "\xEF\xBB\xBF" + with_head(""), "missing field `commands`"},
        Rejected{"entry_without_cli", kEntry + "  - applies_to: '*'\n    notes: x\n",
                 "commands[0].versions[1]: missing field `cli` at line 10 column 5"},
        Rejected{"duplicate_cli", kEntry + "    cli: b\n",
                 "commands[0].versions[0]: duplicate field `cli` at line 8 column 5"},
        Rejected{
            "lower_case_type", with_head("commands:\n- type: arp_table\n  versions: []\n"),
            "commands[0].type: " + parse_command_type("arp_table").error() + " at line 6 column 9"},
        Rejected{"sequence_as_text", "vendor: [a]\n",
                 "vendor: invalid type: sequence, expected a string at line 1 column 9"},
        Rejected{"map_as_text", "vendor: {a: 1}\n",
                 "vendor: invalid type: map, expected a string at line 1 column 9"},
        Rejected{"quoted_true_flag", kEntry + "    unverified: \"true\"\n",
                 "commands[0].versions[0].unverified: invalid type: string \"true\", expected "
                 "a boolean at line 10 column 17"},
        Rejected{"empty_flow_restconf",
                 with_head("commands:\n- type: VERSION\n  versions: []\n"
                           "  protocol_alternatives:\n    restconf: {}\n"),
                 "commands[0].protocol_alternatives.restconf: missing field `url_path` at line "
                 "9 column 15"},
        Rejected{"merge_key_merges_nothing",
                 with_head("base: &b {type: VERSION, versions: []}\ncommands:\n- <<: *b\n"),
                 "commands[0]: missing field `type` at line 7 column 3"},
        Rejected{"duplicate_extra_entry", snmp_extra("{a: 1, a: 2}"),
                 "protocol_capabilities.snmp: duplicate entry with key \"a\" at line 7 column 5"},
        Rejected{"duplicate_sequence_key", snmp_extra("{[1]: 1, [1]: 2}"),
                 "protocol_capabilities.snmp: duplicate entry in YAML map at line 7 column 5"},
        Rejected{
            "duplicate_large_mapping_key",
            snmp_extra("{? " + twenty_entries(false) + ": 1, ? " + twenty_entries(true) + ": 2}"),
            "protocol_capabilities.snmp: duplicate entry in YAML map at line 7 column 5"},
        Rejected{"second_document", with_head("commands: []\n---\n"),
                 "deserializing from YAML containing more than one document is not supported"},
        Rejected{"unknown_anchor", with_head("notes: *nowhere\ncommands: []\n"),
                 "unknown anchor at line 5 column 8"},
        Rejected{"unclosed_quote", "vendor: \"abc\n",
                 "found unexpected end of stream at line 2 column 1, while scanning a quoted "
                 "scalar at line 1 column 9"},
        Rejected{"rule_error_before_syntax_error", "vendor: [a]\nb: \"\n",
                 "vendor: invalid type: sequence, expected a string at line 1 column 9"},
        Rejected{"scalar_longer_than_its_text", kGrowingScalar, kGrowingScalarMessage},
        Rejected{"syntax_error_after_complete_record", with_head("commands: []\nx: \"\n"),
                 "found unexpected end of stream at line 7 column 1, while scanning a quoted "
                 "scalar at line 6 column 4"}),
    [](const testing::TestParamInfo<Rejected>& info) { return std::string(info.param.name); });

// Nested flow sequences `depth` deep, under a key whose value is skipped
// (the top level keeps no `extra`) or kept (a capability keeps `extra`).
std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(Nesting, LimitCountsEveryContainerAndSkipsUnreadValues) {
  // The root mapping, `protocol_capabilities`, `snmp` and the value: 3 + depth.
  EXPECT_EQ(rejection(snmp_extra(nested(125))), "(loaded)");
  EXPECT_EQ(rejection(snmp_extra(nested(126))), "recursion limit exceeded at line 7 column 133");
  EXPECT_EQ(rejection(with_head("ignored: " + nested(300) + "\ncommands: []\n")), "(loaded)");
  // Unread values too have a bound, far above anything a vendor file needs.
  EXPECT_EQ(rejection(with_head("ignored: " + nested(100000) + "\ncommands: []\n")),
            "recursion limit exceeded at line 5 column 1033");
}

// The type a plain scalar resolves to, as a rejection names it.
TEST(Scalars, ResolveAsTheReaderNamesThem) {
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"01", "string \"01\""},  // leading zeros: not a number
      {"-9223372036854775808", "integer `-9223372036854775808`"},
      {"-9223372036854775809", "floating point `-9223372036854775808.0`"},
      {"+.INF", "floating point `inf`"},
      {"0o17", "integer `15`"},
  };
  for (const auto& [scalar, named] : rows) {
    EXPECT_EQ(rejection(kEntry + "    unverified: " + std::string(scalar) + "\n"),
              "commands[0].versions[0].unverified: invalid type: " + std::string(named) +
                  ", expected a boolean at line 10 column 17");
  }
  // Mapping keys of different sizes are different keys.
  EXPECT_EQ(rejection(snmp_extra("{? {a: 1}: 1, ? {a: 1, b: 2}: 2}")), "(loaded)");
}

TEST(Aliases, ABlockReusedADozenTimesLoadsAnExpansionBombDoesNot) {
  std::string text = "commands:\n- &block\n  type: VERSION\n  versions:\n";
  for (int i = 0; i < 40; ++i) {
    text += "  - {applies_to: '>=" + std::to_string(i) + ".0', cli: show version " +
            std::to_string(i) + ", notes: a note long enough to count for something}\n";
  }
  for (int i = 0; i < 12; ++i) text += "- *block\n";
  auto file = parse_vendor_file(with_head(text));
  ASSERT_TRUE(file) << file.error().render();
  ASSERT_EQ(file->commands.size(), 13u);
  EXPECT_EQ(file->commands[12].versions[39].cli, "show version 39");
  // An exponential expansion is refused.
  text = "a0: &a0 [x, x, x, x, x, x, x, x]\n";
  for (int i = 1; i <= 9; ++i) {
    const std::string name = std::string("a") + std::to_string(i);
    text += name + ": &" + name + " [";
    for (int k = 0; k < 8; ++k) {
      text += k ? ", *a" : "*a";
      text += std::to_string(i - 1);
    }
    text += "]\n";
  }
  text += "protocol_capabilities:\n  snmp:\n    bomb: *a9\n";
  EXPECT_EQ(rejection(with_head(text + "commands: []\n")), "repetition limit exceeded");
}

TEST(Fields, AbsentPresentAndNullForms) {
  auto file = parse_vendor_file(
      "vendor: null\ndisplay_name: d\nmanufacturer: m\nproduct_family: p\n"
      "notes: \"null\"\n"
      "protocol_capabilities:\n"
      "  rest_api: {introduced_in: 4.22, matured_in: '10.04', auth: [a, b]}\n"
      "  snmp: ~\n"
      "  gnmi: {notes: !custom null}\n"
      "commands:\n"
      "- type: HOSTNAME\n  versions:\n  - applies_to: '*'\n    cli:\n"
      "    config_required: \"\"\n    sample_output:\n    unverified: True\n");
  ASSERT_TRUE(file) << file.error().render();
  EXPECT_EQ(std::tie(file->vendor, file->notes), std::tuple("null", "null"));
  EXPECT_TRUE(file->sources.empty());
  const auto& caps = file->protocol_capabilities;
  ASSERT_TRUE(caps.rest_api && caps.gnmi);
  EXPECT_EQ(caps.rest_api->introduced_in, "4.22");
  ASSERT_EQ(caps.rest_api->extra.size(), 2u);
  EXPECT_EQ(std::tie(caps.rest_api->extra[0].first, caps.rest_api->extra[1].first),
            std::tuple("matured_in", "auth"));
  EXPECT_FALSE(caps.snmp);
  EXPECT_EQ(caps.gnmi->notes, "null") << "a tagged null is present text";
  const CommandEntry& entry = file->commands[0].versions[0];
  EXPECT_EQ(std::tie(entry.cli, entry.config_required), std::tuple("", ""));
  EXPECT_FALSE(entry.sample_output);
  EXPECT_TRUE(entry.unverified);
}

}  // namespace
}  // namespace ov
