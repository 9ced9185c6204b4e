#include "catalog/command_type.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace ov {
namespace {

// The display name is the YAML name's words capitalised, underscores removed.
std::string derived_display_name(std::string_view yaml) {
  std::string out;
  bool word_start = true;
  for (char c : yaml) {
    if (c != '_')
      out += word_start ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    word_start = c == '_';
  }
  return out;
}

TEST(CommandType, NamesAgreeAndParsingIsExact) {
  for (const auto& entry : kCommandTypes) {
    SCOPED_TRACE(std::string(entry.yaml));
    EXPECT_EQ(entry.display, derived_display_name(entry.yaml));
    EXPECT_EQ(find_command_type(entry.yaml), entry.type);
  }
  using namespace std::string_view_literals;
  for (std::string_view text :
       {"arp_table"sv, "ArpTable"sv, " ARP_TABLE"sv, ""sv, "HOSTNAME\0"sv}) {
    EXPECT_FALSE(find_command_type(text).has_value()) << text;
  }
  // The rejection lists every name, in table order.
  const std::string message = parse_command_type("FOO").error();
  EXPECT_TRUE(
      message.starts_with("unknown variant `FOO`, expected one of `ARP_TABLE`, `MAC_TABLE`, "));
  EXPECT_TRUE(message.ends_with(", `STP_VLAN_ENABLE`, `SAVE_CONFIG`"));
  EXPECT_EQ(std::count(message.begin(), message.end(), ','), 25);
}

}  // namespace
}  // namespace ov
