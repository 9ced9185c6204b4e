// The closed vocabulary of abstract operations: the catalog reader
// and the Python surface both name operations through this table.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "base/enum_table.h"

namespace ov {

enum class CommandType : std::uint8_t {
  ArpTable,
  MacTable,
  NeighborDetail,
  LldpDetail,
  PortChannelMembers,
  InterfaceConfig,
  InterfaceConfigBulk,
  InterfaceStats,
  CivicLocation,
  VlanList,
  SviConfig,
  StpVlanList,
  HardwareIdentity,
  Hostname,
  Version,
  PortShutdown,
  PortNoShutdown,
  PortVlanAssign,
  PortPoeOff,
  PortPoeOn,
  PortPolicyPush,
  VlanCreate,
  SviCreate,
  StpVlanEnable,
  SaveConfig,
};

struct CommandTypeName {
  CommandType type;
  std::string_view yaml;     // the only form accepted from files and callers
  std::string_view display;  // the only form used in messages
};

// Indexed by ordinal; the order is also the order of the names listed in the
// "unknown variant" message.
inline constexpr std::array<CommandTypeName, 25> kCommandTypes{{
    {CommandType::ArpTable, "ARP_TABLE", "ArpTable"},
    {CommandType::MacTable, "MAC_TABLE", "MacTable"},
    {CommandType::NeighborDetail, "NEIGHBOR_DETAIL", "NeighborDetail"},
    {CommandType::LldpDetail, "LLDP_DETAIL", "LldpDetail"},
    {CommandType::PortChannelMembers, "PORT_CHANNEL_MEMBERS", "PortChannelMembers"},
    {CommandType::InterfaceConfig, "INTERFACE_CONFIG", "InterfaceConfig"},
    {CommandType::InterfaceConfigBulk, "INTERFACE_CONFIG_BULK", "InterfaceConfigBulk"},
    {CommandType::InterfaceStats, "INTERFACE_STATS", "InterfaceStats"},
    {CommandType::CivicLocation, "CIVIC_LOCATION", "CivicLocation"},
    {CommandType::VlanList, "VLAN_LIST", "VlanList"},
    {CommandType::SviConfig, "SVI_CONFIG", "SviConfig"},
    {CommandType::StpVlanList, "STP_VLAN_LIST", "StpVlanList"},
    {CommandType::HardwareIdentity, "HARDWARE_IDENTITY", "HardwareIdentity"},
    {CommandType::Hostname, "HOSTNAME", "Hostname"},
    {CommandType::Version, "VERSION", "Version"},
    {CommandType::PortShutdown, "PORT_SHUTDOWN", "PortShutdown"},
    {CommandType::PortNoShutdown, "PORT_NO_SHUTDOWN", "PortNoShutdown"},
    {CommandType::PortVlanAssign, "PORT_VLAN_ASSIGN", "PortVlanAssign"},
    {CommandType::PortPoeOff, "PORT_POE_OFF", "PortPoeOff"},
    {CommandType::PortPoeOn, "PORT_POE_ON", "PortPoeOn"},
    {CommandType::PortPolicyPush, "PORT_POLICY_PUSH", "PortPolicyPush"},
    {CommandType::VlanCreate, "VLAN_CREATE", "VlanCreate"},
    {CommandType::SviCreate, "SVI_CREATE", "SviCreate"},
    {CommandType::StpVlanEnable, "STP_VLAN_ENABLE", "StpVlanEnable"},
    {CommandType::SaveConfig, "SAVE_CONFIG", "SaveConfig"},
}};

static_assert(indexed_by_enum(kCommandTypes, &CommandTypeName::type),
              "kCommandTypes must follow CommandType");

inline constexpr std::size_t kCommandTypeCount = kCommandTypes.size();

constexpr std::size_t ordinal(CommandType type) { return static_cast<std::size_t>(type); }

constexpr std::string_view yaml_name(CommandType type) { return kCommandTypes[ordinal(type)].yaml; }

constexpr std::string_view display_name(CommandType type) {
  return kCommandTypes[ordinal(type)].display;
}

// Returns the command type whose YAML name equals `text` byte for byte, or
// nullopt. No trimming, no case folding, no display names.
constexpr std::optional<CommandType> find_command_type(std::string_view text) {
  for (const auto& entry : kCommandTypes) {
    if (entry.yaml == text) return entry.type;
  }
  return std::nullopt;
}

// As find_command_type, but a miss yields the message
// "unknown variant `X`, expected one of `ARP_TABLE`, ..., `SAVE_CONFIG`".
std::expected<CommandType, std::string> parse_command_type(std::string_view text);

// The "unknown variant" message for `text`, for any reader that rejects a name.
std::string unknown_command_type_message(std::string_view text);

// "unknown CommandType: " and the text: a caller's name that is no command type.
std::string unknown_command_name_message(std::string_view text);

}  // namespace ov
