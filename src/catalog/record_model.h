// The vendor-file model as tables: for each record its name in messages,
// its own keys in declaration order with their readers, and its `extra` map.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "catalog/record_walker.h"
#include "catalog/records.h"
#include "catalog/version_range.h"

namespace ov {

enum class Presence : std::uint8_t { Required, Optional };

template <class R>
struct FieldSpec {
  std::string_view key;
  Presence presence;
  bool (*read)(Walker& walker, std::uint32_t at, R& record);
};

template <class M>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
  using Record = R;
};

// The field `key` stored in `Member`, read by the reader of its type.
template <auto Member>
constexpr auto field(std::string_view key, Presence presence) {
  using R = typename MemberOf<decltype(Member)>::Record;
  return FieldSpec<R>{key, presence, [](Walker& walker, std::uint32_t at, R& record) {
                        return walker.read(at, record.*Member);
                      }};
}

constexpr Presence kRequired = Presence::Required;
constexpr Presence kOptional = Presence::Optional;

// Work done once a record is read completely; most records need none.
template <class R>
void finish_record(R&) {}

// The range is parsed once at load time; a malformed one is kept as its error.
inline void finish_record(CommandEntry& entry) {
  entry.range = VersionRange::parse(entry.applies_to);
}

template <>
struct RecordModel<Source> {
  static constexpr std::string_view kName = "struct Source";
  static constexpr std::array kFields{
      field<&Source::title>("title", kRequired),
      field<&Source::url>("url", kRequired),
      field<&Source::accessed>("accessed", kRequired),
  };
  static constexpr ExtraMap Source::*kExtra = nullptr;
};

template <>
struct RecordModel<ProtocolCapability> {
  static constexpr std::string_view kName = "struct ProtocolCapability";
  static constexpr std::array kFields{
      field<&ProtocolCapability::introduced_in>("introduced_in", kOptional),
      field<&ProtocolCapability::notes>("notes", kOptional),
  };
  static constexpr ExtraMap ProtocolCapability::*kExtra = &ProtocolCapability::extra;
};

template <>
struct RecordModel<ProtocolCapabilities> {
  static constexpr std::string_view kName = "struct ProtocolCapabilities";
  static constexpr std::array kFields{
      field<&ProtocolCapabilities::netconf>("netconf", kOptional),
      field<&ProtocolCapabilities::restconf>("restconf", kOptional),
      field<&ProtocolCapabilities::gnmi>("gnmi", kOptional),
      field<&ProtocolCapabilities::rest_api>("rest_api", kOptional),
      field<&ProtocolCapabilities::snmp>("snmp", kOptional),
      field<&ProtocolCapabilities::dashboard_api>("dashboard_api", kOptional),
  };
  static constexpr ExtraMap ProtocolCapabilities::*kExtra = nullptr;
};

template <>
struct RecordModel<NetconfMapping> {
  static constexpr std::string_view kName = "struct NetconfMapping";
  static constexpr std::array kFields{
      field<&NetconfMapping::yang_model>("yang_model", kRequired),
      field<&NetconfMapping::data_path>("data_path", kRequired),
      field<&NetconfMapping::firmware_required>("firmware_required", kOptional),
  };
  static constexpr ExtraMap NetconfMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<RestconfMapping> {
  static constexpr std::string_view kName = "struct RestconfMapping";
  static constexpr std::array kFields{
      field<&RestconfMapping::url_path>("url_path", kRequired),
      field<&RestconfMapping::firmware_required>("firmware_required", kOptional),
  };
  static constexpr ExtraMap RestconfMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<GnmiMapping> {
  static constexpr std::string_view kName = "struct GnmiMapping";
  static constexpr std::array kFields{
      field<&GnmiMapping::path>("path", kRequired),
      field<&GnmiMapping::firmware_required>("firmware_required", kOptional),
  };
  static constexpr ExtraMap GnmiMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<EapiMapping> {
  static constexpr std::string_view kName = "struct EapiMapping";
  static constexpr std::array kFields{
      field<&EapiMapping::method>("method", kRequired),
      field<&EapiMapping::cli>("cli", kOptional),
      field<&EapiMapping::commands>("commands", kOptional),
      field<&EapiMapping::format>("format", kOptional),
      field<&EapiMapping::firmware_required>("firmware_required", kOptional),
  };
  static constexpr ExtraMap EapiMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<SnmpMapping> {
  static constexpr std::string_view kName = "struct SnmpMapping";
  static constexpr std::array kFields{
      field<&SnmpMapping::oid>("oid", kRequired),
      field<&SnmpMapping::version>("version", kOptional),
  };
  static constexpr ExtraMap SnmpMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<RestApiMapping> {
  static constexpr std::string_view kName = "struct RestApiMapping";
  static constexpr std::array kFields{
      field<&RestApiMapping::method>("method", kRequired),
      field<&RestApiMapping::path>("path", kRequired),
      field<&RestApiMapping::firmware_required>("firmware_required", kOptional),
  };
  static constexpr ExtraMap RestApiMapping::*kExtra = &RestApiMapping::extra;
};

template <>
struct RecordModel<DashboardApiMapping> {
  static constexpr std::string_view kName = "struct DashboardApiMapping";
  static constexpr std::array kFields{
      field<&DashboardApiMapping::endpoint>("endpoint", kRequired),
  };
  static constexpr ExtraMap DashboardApiMapping::*kExtra = &DashboardApiMapping::extra;
};

template <>
struct RecordModel<ProtocolAlternatives> {
  static constexpr std::string_view kName = "struct ProtocolAlternatives";
  static constexpr std::array kFields{
      field<&ProtocolAlternatives::netconf>("netconf", kOptional),
      field<&ProtocolAlternatives::restconf>("restconf", kOptional),
      field<&ProtocolAlternatives::gnmi>("gnmi", kOptional),
      field<&ProtocolAlternatives::eapi>("eapi", kOptional),
      field<&ProtocolAlternatives::rest_api>("rest_api", kOptional),
      field<&ProtocolAlternatives::snmp>("snmp", kOptional),
      field<&ProtocolAlternatives::dashboard_api>("dashboard_api", kOptional),
  };
  static constexpr ExtraMap ProtocolAlternatives::*kExtra = nullptr;
};

template <>
struct RecordModel<CommandEntry> {
  static constexpr std::string_view kName = "struct CommandEntry";
  static constexpr std::array kFields{
      field<&CommandEntry::applies_to>("applies_to", kRequired),
      field<&CommandEntry::cli>("cli", kRequired),
      field<&CommandEntry::sample_output>("sample_output", kOptional),
      field<&CommandEntry::parser_notes>("parser_notes", kOptional),
      field<&CommandEntry::config_required>("config_required", kOptional),
      field<&CommandEntry::notes>("notes", kOptional),
      field<&CommandEntry::unverified>("unverified", kOptional),
  };
  static constexpr ExtraMap CommandEntry::*kExtra = nullptr;
};

template <>
struct RecordModel<CommandBlock> {
  static constexpr std::string_view kName = "struct CommandBlock";
  static constexpr std::array kFields{
      field<&CommandBlock::type>("type", kRequired),
      field<&CommandBlock::description>("description", kOptional),
      field<&CommandBlock::versions>("versions", kRequired),
      field<&CommandBlock::protocol_alternatives>("protocol_alternatives", kOptional),
  };
  static constexpr ExtraMap CommandBlock::*kExtra = nullptr;
};

template <>
struct RecordModel<VendorFile> {
  static constexpr std::string_view kName = "struct VendorFile";
  static constexpr std::array kFields{
      field<&VendorFile::vendor>("vendor", kRequired),
      field<&VendorFile::display_name>("display_name", kRequired),
      field<&VendorFile::manufacturer>("manufacturer", kRequired),
      field<&VendorFile::product_family>("product_family", kRequired),
      field<&VendorFile::notes>("notes", kOptional),
      field<&VendorFile::sources>("sources", kOptional),
      field<&VendorFile::protocol_capabilities>("protocol_capabilities", kOptional),
      field<&VendorFile::commands>("commands", kRequired),
  };
  static constexpr ExtraMap VendorFile::*kExtra = nullptr;
};

}  // namespace ov
