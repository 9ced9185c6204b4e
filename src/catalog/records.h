// The records of a vendor file. Every record owns its fields; nothing is
// shared, and nothing changes after loading.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog_error.h"
#include "catalog/command_type.h"
#include "catalog/version_range.h"
#include "catalog/yaml_value.h"

namespace ov {

struct Source {
  std::string title;
  std::string url;
  std::string accessed;
};

struct ProtocolCapability {
  std::optional<std::string> introduced_in;
  std::optional<std::string> notes;
  ExtraMap extra;
};

struct ProtocolCapabilities {
  std::optional<ProtocolCapability> netconf;
  std::optional<ProtocolCapability> restconf;
  std::optional<ProtocolCapability> gnmi;
  std::optional<ProtocolCapability> rest_api;
  std::optional<ProtocolCapability> snmp;
  std::optional<ProtocolCapability> dashboard_api;
};

struct NetconfMapping {
  std::string yang_model;
  std::string data_path;
  std::optional<std::string> firmware_required;
};

struct RestconfMapping {
  std::string url_path;
  std::optional<std::string> firmware_required;
};

struct GnmiMapping {
  std::string path;
  std::optional<std::string> firmware_required;
};

struct EapiMapping {
  std::string method;
  std::optional<std::string> cli;
  std::optional<std::vector<std::string>> commands;
  std::optional<std::string> format;
  std::optional<std::string> firmware_required;
};

struct SnmpMapping {
  std::string oid;
  std::optional<std::string> version;
};

struct RestApiMapping {
  std::string method;
  std::string path;
  std::optional<std::string> firmware_required;
  ExtraMap extra;
};

struct DashboardApiMapping {
  std::string endpoint;
  ExtraMap extra;
};

struct ProtocolAlternatives {
  std::optional<NetconfMapping> netconf;
  std::optional<RestconfMapping> restconf;
  std::optional<GnmiMapping> gnmi;
  std::optional<EapiMapping> eapi;
  std::optional<RestApiMapping> rest_api;
  std::optional<SnmpMapping> snmp;
  std::optional<DashboardApiMapping> dashboard_api;
};

struct CommandEntry {
  std::string applies_to;
  std::string cli;
  std::optional<std::string> sample_output;
  std::optional<std::string> parser_notes;
  std::optional<std::string> config_required;
  std::optional<std::string> notes;
  bool unverified = false;
  // `applies_to` parsed once when the file is read. A malformed range loads
  // and is kept as its error, reported by every lookup that reaches it.
  std::expected<VersionRange, CatalogError> range;
};

struct CommandBlock {
  CommandType type = CommandType::ArpTable;
  std::optional<std::string> description;
  std::vector<CommandEntry> versions;
  ProtocolAlternatives protocol_alternatives;
};

struct VendorFile {
  std::string vendor;
  std::string display_name;
  std::string manufacturer;
  std::string product_family;
  std::optional<std::string> notes;
  std::vector<Source> sources;
  ProtocolCapabilities protocol_capabilities;
  std::vector<CommandBlock> commands;

  // Returns the first block of `type` in file order, or nullptr.
  const CommandBlock* first_block(CommandType type) const;
};

}  // namespace ov
