#include "reading/record_schema.h"

#include "base/enum_table.h"

namespace ov::reading {
namespace {

using K = FieldKind;

constexpr Word kStaticWords[] = {
    {"static", "true"},   {"permanent", "true"}, {"configured", "true"}, {"sticky", "true"},
    {"secure", "true"},   {"self", "true"},      {"mgmt", "true"},       {"management", "true"},
    {"system", "true"},   {"dynamic", "false"},  {"learned", "false"},   {"learn", "false"},
    {"delete-on-timeout", "false"}, {"agecontrol", "false"},
    // Junos flag letters: static, persistent static, dynamic.
    {"S", "true"}, {"P", "true"}, {"D", "false"},
};
constexpr Word kYesWords[] = {
    {"yes", "true"}, {"true", "true"},   {"active", "true"},    {"1", "true"},
    {"no", "false"}, {"false", "false"}, {"inactive", "false"}, {"0", "false"},
};
constexpr Word kLinkWords[] = {
    {"up", "true"},           {"connected", "true"},         {"down", "false"},
    {"notconnect", "false"},  {"disabled", "false"},         {"err-disabled", "false"},
    {"disconnected", "false"},
    {"administratively down", "false"}, {"lowerlayerdown", "false"}, {"notpresent", "false"},
};
constexpr Word kEnabledWords[] = {
    {"up", "true"},       {"enabled", "true"},         {"connected", "true"},
    {"notconnect", "true"}, {"down", "true"},          {"administratively down", "false"},
    {"disabled", "false"}, {"admin down", "false"},    {"err-disabled", "false"},
};
constexpr Word kConfigEnabledWords[] = {
    {"no shutdown", "true"}, {"enable", "true"},   {"enabled", "true"},   {"up", "true"},
    {"shutdown", "false"},   {"disable", "false"}, {"disabled", "false"},
};
constexpr Word kAggregateUpWords[] = {
    {"up", "true"},   {"U", "true"},   {"(SU)", "true"},  {"SU", "true"},  {"RU", "true"},
    {"enabled", "true"}, {"down", "false"}, {"D", "false"}, {"(SD)", "false"},
    {"SD", "false"}, {"RD", "false"}, {"disabled", "false"}, {"not-in-use", "false"},
    // M: not in use, its minimum links not met.
    {"M", "false"}, {"SM", "false"}, {"RM", "false"},
};
constexpr Word kBundledWords[] = {
    {"P", "true"},        {"bundled", "true"},    {"up", "true"},       {"selected", "true"},
    {"active", "true"},   {"yes", "true"},        {"(P)", "true"},      {"collecting-distributing", "true"},
    {"Bndl", "true"},     {"D", "false"},         {"I", "false"},       {"s", "false"},
    {"H", "false"},       {"w", "false"},         {"down", "false"},    {"standby", "false"},
    {"suspended", "false"}, {"individual", "false"}, {"unselected", "false"}, {"no", "false"},
    {"(D)", "false"},     {"(I)", "false"},       {"(s)", "false"},     {"(H)", "false"},
};
constexpr Word kRootWords[] = {
    {"yes", "true"},  {"true", "true"},   {"root", "true"},
    {"this bridge is the root", "true"},  {"this-bridge", "true"},
    {"no", "false"},  {"false", "false"},
};
constexpr Word kAggregationWords[] = {
    {"lacp", "lacp"},   {"active", "lacp"},   {"passive", "lacp"}, {"static", "static"},
    {"on", "static"},   {"none", "static"},   {"manual", "static"},
    // ProCurve's static trunk type; AOS-CX "Aggregate mode : off".
    {"trunk", "static"}, {"off", "static"},
};
constexpr Word kModeWords[] = {
    {"access", "access"},        {"trunk", "trunk"},     {"routed", "routed"},
    {"no switchport", "routed"}, {"untagged", "access"}, {"tagged", "trunk"},
};
constexpr Word kNeighborProtocolWords[] = {{"lldp", "lldp"}, {"cdp", "cdp"}};

constexpr FieldSpec kArp[] = {
    {"ip", K::Text, "the neighbour's IP address"},
    {"mac", K::Mac, "its MAC address; null while the entry is incomplete"},
    {"interface", K::Text, "the interface as the device printed it"},
    {"port", K::Text, "the physical or aggregate port behind an SVI, where printed"},
    {"age", K::Seconds, "age of the entry"},
    {"vrf", K::Text, "the VRF, where printed"},
};

constexpr FieldSpec kMac[] = {
    {"mac", K::Mac, "the MAC address"},
    {"vlan", K::Int, "the VLAN"},
    {"vlan_name", K::Text, "the VLAN's name, where the device prints one"},
    {"interface", K::Text, "the port as the device printed it"},
    {"static", K::Bool, "configured rather than learned", kStaticWords},
    {"active", K::Bool, "the entry is in use", kYesWords},
    {"moves", K::Int, "how often the address moved between ports"},
    {"last_move", K::Seconds, "time since its last move"},
};

constexpr FieldSpec kNeighbor[] = {
    {"protocol", K::Choice, "lldp or cdp", kNeighborProtocolWords},
    {"local_port", K::Text, "the port that saw the neighbour"},
    {"remote_system_name", K::Text, "the neighbour's system name"},
    {"remote_port", K::Text, "the neighbour's port identifier"},
    {"remote_port_description", K::Text, "the neighbour's port description"},
    {"remote_chassis_id", K::Text, "the neighbour's chassis identifier, as printed"},
    {"remote_system_description", K::Text, "the neighbour's system description"},
    {"remote_platform", K::Text, "the neighbour's platform"},
    {"remote_management_address", K::Text, "the neighbour's management address"},
    {"remote_system_capab", K::Caps, "capabilities the neighbour has"},
    {"remote_system_enable_capab", K::Caps, "capabilities the neighbour has enabled"},
};

constexpr FieldSpec kMember[] = {
    {"interface", K::Text, "the member port"},
    {"bundled", K::Bool, "the port carries the aggregate's traffic", kBundledWords},
};
constexpr FieldSpec kPortChannel[] = {
    {"port_channel", K::Text, "the aggregate as the device printed it", {}, {}, true},
    {"protocol", K::Choice, "lacp, static or null", kAggregationWords},
    {"is_up", K::Bool, "the aggregate is up", kAggregateUpWords},
    {"members", K::Records, "its member ports", {}, kMember},
};

constexpr FieldSpec kStats[] = {
    {"interface", K::Text, "the interface as the device printed it", {}, {}, true},
    {"is_up", K::Bool, "the link is up", kLinkWords},
    {"is_enabled", K::Bool, "the interface is administratively enabled", kEnabledWords},
    {"description", K::Text, "its description"},
    {"mtu", K::Int, "its MTU"},
    {"speed", K::Speed, "its speed in Mbit/s"},
    {"mac_address", K::Mac, "its MAC address"},
    {"rx_octets", K::Int, "octets received"},
    {"tx_octets", K::Int, "octets sent"},
    {"rx_unicast_packets", K::Int, "unicast packets received"},
    {"tx_unicast_packets", K::Int, "unicast packets sent"},
    {"rx_multicast_packets", K::Int, "multicast packets received"},
    {"tx_multicast_packets", K::Int, "multicast packets sent"},
    {"rx_broadcast_packets", K::Int, "broadcast packets received"},
    {"tx_broadcast_packets", K::Int, "broadcast packets sent"},
    {"rx_errors", K::Int, "receive errors"},
    {"tx_errors", K::Int, "transmit errors"},
    {"rx_discards", K::Int, "packets discarded on receive"},
    {"tx_discards", K::Int, "packets discarded on transmit"},
};

constexpr FieldSpec kVlan[] = {
    {"vlan_id", K::Int, "the VLAN"},
    {"name", K::Text, "its name"},
    {"status", K::Lower, "its status as printed, lower-cased"},
    {"interfaces", K::Texts, "its ports as the device printed them"},
};

constexpr FieldSpec kStpPort[] = {
    {"interface", K::Text, "the port"},
    {"role", K::Lower, "its role as printed, lower-cased"},
    {"state", K::Lower, "its state as printed, lower-cased"},
    {"cost", K::Int, "its path cost"},
};
constexpr FieldSpec kStp[] = {
    {"vlan_id", K::Int, "the VLAN or instance", {}, {}, true},
    {"protocol", K::Lower, "the spanning-tree protocol as printed, lower-cased"},
    {"root_bridge_id", K::Text, "the root bridge, as printed"},
    {"bridge_id", K::Text, "this bridge, as printed"},
    {"is_root", K::Bool, "this bridge is the root", kRootWords},
    {"ports", K::Records, "its ports", {}, kStpPort},
};

constexpr FieldSpec kStackMember[] = {
    {"member", K::Text, "the stack or chassis member"},
    {"model", K::Text, "its model"},
    {"serial_number", K::Text, "its serial number"},
    {"mac", K::Mac, "its MAC address"},
};
constexpr FieldSpec kComponent[] = {
    {"name", K::Text, "the inventory item"},
    {"description", K::Text, "its description"},
    {"part", K::Text, "its part number"},
    {"serial_number", K::Text, "its serial number"},
};
constexpr FieldSpec kHardware[] = {
    {"model", K::Text, "the model"},
    {"serial_number", K::Text, "the serial number"},
    {"base_mac", K::Mac, "the base MAC address"},
    {"members", K::Records, "stack or chassis members", {}, kStackMember},
    {"components", K::Records, "inventory rows", {}, kComponent},
};

constexpr FieldSpec kHostname[] = {
    {"hostname", K::Text, "the configured host name"},
};

constexpr FieldSpec kVersion[] = {
    {"os_version", K::Text, "the software version as printed"},
    {"firmware", K::Text, "the firmware as lookups read it, from os_version"},
    {"model", K::Text, "the model"},
    {"serial_number", K::Text, "the serial number"},
    {"uptime", K::Seconds, "time since the last start"},
    {"hostname", K::Text, "the host name"},
};

constexpr FieldSpec kInterfaceConfig[] = {
    {"interface", K::Text, "the interface as configured", {}, {}, true},
    {"description", K::Text, "its description"},
    {"enabled", K::Bool, "not shut down", kConfigEnabledWords},
    {"mode", K::Choice, "access, trunk, routed or null", kModeWords},
    {"access_vlan", K::Int, "its access VLAN"},
    {"trunk_vlans", K::Vlans, "the VLANs it carries tagged"},
    {"native_vlan", K::Int, "its native VLAN"},
    {"ip_addresses", K::Prefixes, "its addresses, a.b.c.d/len"},
    {"lines", K::Texts, "its configuration lines as printed"},
};

constexpr FieldSpec kCivicElement[] = {
    {"ca_type", K::Text, "the civic-address element type"},
    {"value", K::Text, "its value"},
};
constexpr FieldSpec kCivic[] = {
    {"name", K::Text, "the location's name or identifier", {}, {}, true},
    {"country_code", K::Text, "its country code"},
    {"elements", K::Records, "its civic-address elements", {}, kCivicElement},
    {"lines", K::Texts, "its configuration lines as printed"},
};

constexpr FieldSpec kWrite[] = {
    {"ok", K::Bool, "the device accepted the change"},
    {"messages", K::Texts, "its error lines, then its warning lines"},
};

using CT = CommandType;
constexpr std::array<RecordSchema, kCommandTypes.size()> kSchemas{{
    {CT::ArpTable, false, false, kArp},
    {CT::MacTable, false, false, kMac},
    {CT::NeighborDetail, false, false, kNeighbor},
    {CT::LldpDetail, false, false, kNeighbor},
    {CT::PortChannelMembers, false, false, kPortChannel},
    {CT::InterfaceConfig, false, false, kInterfaceConfig},
    {CT::InterfaceConfigBulk, false, false, kInterfaceConfig},
    {CT::InterfaceStats, false, false, kStats},
    {CT::CivicLocation, false, false, kCivic},
    {CT::VlanList, false, false, kVlan},
    {CT::SviConfig, false, false, kInterfaceConfig},
    {CT::StpVlanList, false, false, kStp},
    {CT::HardwareIdentity, true, false, kHardware},
    {CT::Hostname, true, false, kHostname},
    {CT::Version, true, false, kVersion},
    {CT::PortShutdown, true, true, kWrite},
    {CT::PortNoShutdown, true, true, kWrite},
    {CT::PortVlanAssign, true, true, kWrite},
    {CT::PortPoeOff, true, true, kWrite},
    {CT::PortPoeOn, true, true, kWrite},
    {CT::PortPolicyPush, true, true, kWrite},
    {CT::VlanCreate, true, true, kWrite},
    {CT::SviCreate, true, true, kWrite},
    {CT::StpVlanEnable, true, true, kWrite},
    {CT::SaveConfig, true, true, kWrite},
}};
static_assert(indexed_by_enum(kSchemas, &RecordSchema::type),
              "kSchemas must list the command types in declaration order");

}  // namespace

const RecordSchema& record_schema(CommandType type) {
  return kSchemas[static_cast<std::size_t>(type)];
}

}  // namespace ov::reading
