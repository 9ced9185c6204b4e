#include "catalog/command_type.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace ov {
namespace {

// The display name is the YAML name's words capitalised, underscores removed.
std::string derived_display_name(std::string_view yaml) {
  std::string out;
  bool word_start = true;
  for (char c : yaml) {
    if (c == '_') {
      word_start = true;
      continue;
    }
    out += word_start ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    word_start = false;
  }
  return out;
}

TEST(CommandType, TableIsIndexedByOrdinalAndNamesAgree) {
  ASSERT_EQ(kCommandTypeCount, 25u);
  for (std::size_t i = 0; i < kCommandTypes.size(); ++i) {
    const auto& entry = kCommandTypes[i];
    SCOPED_TRACE(std::string(entry.yaml));
    EXPECT_EQ(ordinal(entry.type), i);
    EXPECT_EQ(entry.display, derived_display_name(entry.yaml));
    EXPECT_EQ(parse_command_type(entry.yaml), entry.type);
  }
  EXPECT_EQ(display_name(CommandType::LldpDetail), "LldpDetail");
  EXPECT_EQ(display_name(CommandType::Hostname), "Hostname");
  EXPECT_EQ(yaml_name(CommandType::SaveConfig), "SAVE_CONFIG");
}

TEST(CommandType, ParsingIsExact) {
  using namespace std::string_view_literals;
  for (std::string_view text : {"arp_table"sv, "ArpTable"sv, "ARP_TABLE "sv, " ARP_TABLE"sv, "0"sv,
                                ""sv, "ARP_TABLE\n"sv, "HOSTNAME\0"sv}) {
    SCOPED_TRACE(std::string(text));
    EXPECT_FALSE(find_command_type(text).has_value());
  }
}

TEST(CommandType, RejectionListsEveryNameInOrder) {
  EXPECT_EQ(parse_command_type("FOO").error(),
            "unknown variant `FOO`, expected one of `ARP_TABLE`, `MAC_TABLE`, `NEIGHBOR_DETAIL`, "
            "`LLDP_DETAIL`, `PORT_CHANNEL_MEMBERS`, `INTERFACE_CONFIG`, `INTERFACE_CONFIG_BULK`, "
            "`INTERFACE_STATS`, `CIVIC_LOCATION`, `VLAN_LIST`, `SVI_CONFIG`, `STP_VLAN_LIST`, "
            "`HARDWARE_IDENTITY`, `HOSTNAME`, `VERSION`, `PORT_SHUTDOWN`, `PORT_NO_SHUTDOWN`, "
            "`PORT_VLAN_ASSIGN`, `PORT_POE_OFF`, `PORT_POE_ON`, `PORT_POLICY_PUSH`, "
            "`VLAN_CREATE`, `SVI_CREATE`, `STP_VLAN_ENABLE`, `SAVE_CONFIG`");
}

}  // namespace
}  // namespace ov
