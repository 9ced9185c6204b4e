// The vendor-file model as tables: for each record its name in messages,
// its own keys in declaration order with their readers, and its `extra` map.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "catalog/record_shape.h"
#include "catalog/record_walker.h"
#include "catalog/records.h"
#include "catalog/version_range.h"

namespace ov {

template <class R>
struct FieldSpec {
  std::string_view key;
  Presence presence;
  std::string_view meaning;  // what the value says, for authors of vendor files
  const TypeShape* type;
  bool (*read)(Walker& walker, std::uint32_t at, R& record);
  const void* (*stored)(const void* record);  // the value in a record of type R
};

template <class M>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
  using Record = R;
  using Type = T;
};

// The field `key` stored in `Member`, read by the reader of its type.
template <auto Member>
constexpr auto field(std::string_view key, Presence presence, std::string_view meaning) {
  using R = typename MemberOf<decltype(Member)>::Record;
  using T = typename MemberOf<decltype(Member)>::Type;
  return FieldSpec<R>{
      key, presence, meaning, &ShapeOf<T>::kShape,
      [](Walker& walker, std::uint32_t at, R& record) { return walker.read(at, record.*Member); },
      [](const void* record) -> const void* { return &(static_cast<const R*>(record)->*Member); }};
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

// A record's shape, built from its model's table.
template <Record R>
const RecordShape& record_shape() {
  using Model = RecordModel<R>;
  static constexpr auto kFieldShapes = [] {
    std::array<FieldShape, Model::kFields.size()> shapes{};
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      const auto& field = Model::kFields[i];
      shapes[i] = {field.key, field.presence, field.meaning, field.type, field.stored};
    }
    return shapes;
  }();
  static constexpr std::string_view kPrefix = "struct ";
  static constexpr auto kExtraOf = [](const void* record) -> const ExtraMap* {
    if constexpr (Model::kExtra == nullptr) {
      return nullptr;
    } else {
      return &(static_cast<const R*>(record)->*Model::kExtra);
    }
  };
  static constexpr RecordShape kShape{Model::kName.substr(kPrefix.size()), Model::kMeaning,
                                      kFieldShapes, Model::kExtra != nullptr, kExtraOf};
  return kShape;
}

template <Record R>
struct ShapeOf<R> {
  static constexpr TypeShape kShape{ShapeKind::Record, nullptr, &record_shape<R>};
};

template <>
struct RecordModel<Source> {
  static constexpr std::string_view kName = "struct Source";
  static constexpr std::string_view kMeaning = "One documentation reference.";
  static constexpr std::array kFields{
      field<&Source::title>("title", kRequired, "title of the document"),
      field<&Source::url>("url", kRequired, "where the document was found"),
      field<&Source::accessed>("accessed", kRequired,
                               "date of access as written, such as \"2026-04-28\"; never parsed"),
  };
  static constexpr ExtraMap Source::*kExtra = nullptr;
};

template <>
struct RecordModel<ProtocolCapability> {
  static constexpr std::string_view kName = "struct ProtocolCapability";
  static constexpr std::string_view kMeaning =
      "What the platform offers for one protocol; other keys are kept as they are.";
  static constexpr std::array kFields{
      field<&ProtocolCapability::introduced_in>(
          "introduced_in", kOptional,
          "first firmware that offers the protocol, free text (\"4.20.1F\", \"n/a\")"),
      field<&ProtocolCapability::notes>("notes", kOptional,
                                        "how the protocol is enabled, its ports and limits"),
  };
  static constexpr ExtraMap ProtocolCapability::*kExtra = &ProtocolCapability::extra;
};

template <>
struct RecordModel<ProtocolCapabilities> {
  static constexpr std::string_view kName = "struct ProtocolCapabilities";
  static constexpr std::string_view kMeaning =
      "The programmatic protocols of the platform, each absent when null.";
  static constexpr std::array kFields{
      field<&ProtocolCapabilities::netconf>("netconf", kOptional, "NETCONF"),
      field<&ProtocolCapabilities::restconf>("restconf", kOptional, "RESTCONF"),
      field<&ProtocolCapabilities::gnmi>("gnmi", kOptional, "gNMI"),
      field<&ProtocolCapabilities::rest_api>("rest_api", kOptional, "the vendor's own REST API"),
      field<&ProtocolCapabilities::snmp>("snmp", kOptional, "SNMP"),
      field<&ProtocolCapabilities::dashboard_api>("dashboard_api", kOptional,
                                                  "a cloud management dashboard API"),
  };
  static constexpr ExtraMap ProtocolCapabilities::*kExtra = nullptr;
};

template <>
struct RecordModel<NetconfMapping> {
  static constexpr std::string_view kName = "struct NetconfMapping";
  static constexpr std::string_view kMeaning = "The operation as a NETCONF data path.";
  static constexpr std::array kFields{
      field<&NetconfMapping::yang_model>("yang_model", kRequired, "the YANG module"),
      field<&NetconfMapping::data_path>("data_path", kRequired, "the path inside the YANG module"),
      field<&NetconfMapping::firmware_required>(
          "firmware_required", kOptional,
          "the minimum firmware as free text, such as \">=17.3\"; never compared"),
  };
  static constexpr ExtraMap NetconfMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<RestconfMapping> {
  static constexpr std::string_view kName = "struct RestconfMapping";
  static constexpr std::string_view kMeaning = "The operation as a RESTCONF resource.";
  static constexpr std::array kFields{
      field<&RestconfMapping::url_path>("url_path", kRequired, "the RESTCONF resource path"),
      field<&RestconfMapping::firmware_required>(
          "firmware_required", kOptional, "the minimum firmware as free text; never compared"),
  };
  static constexpr ExtraMap RestconfMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<GnmiMapping> {
  static constexpr std::string_view kName = "struct GnmiMapping";
  static constexpr std::string_view kMeaning = "The operation as a gNMI path.";
  static constexpr std::array kFields{
      field<&GnmiMapping::path>("path", kRequired,
                                "the gNMI path; it may carry keys such as [name=default]"),
      field<&GnmiMapping::firmware_required>("firmware_required", kOptional,
                                             "the minimum firmware as free text; never compared"),
  };
  static constexpr ExtraMap GnmiMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<EapiMapping> {
  static constexpr std::string_view kName = "struct EapiMapping";
  static constexpr std::string_view kMeaning = "The operation as an eAPI call.";
  static constexpr std::array kFields{
      field<&EapiMapping::method>("method", kRequired, "the JSON-RPC method, such as runCmds"),
      field<&EapiMapping::cli>("cli", kOptional, "the CLI text the call runs"),
      field<&EapiMapping::commands>("commands", kOptional, "the CLI texts the call runs, in order"),
      field<&EapiMapping::format>("format", kOptional, "the output format, json or text"),
      field<&EapiMapping::firmware_required>("firmware_required", kOptional,
                                             "the minimum firmware as free text; never compared"),
  };
  static constexpr ExtraMap EapiMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<SnmpMapping> {
  static constexpr std::string_view kName = "struct SnmpMapping";
  static constexpr std::string_view kMeaning = "The operation as an SNMP object.";
  static constexpr std::array kFields{
      field<&SnmpMapping::oid>("oid", kRequired, "the SNMP object"),
      field<&SnmpMapping::version>("version", kOptional, "the SNMP protocol version"),
  };
  static constexpr ExtraMap SnmpMapping::*kExtra = nullptr;
};

template <>
struct RecordModel<RestApiMapping> {
  static constexpr std::string_view kName = "struct RestApiMapping";
  static constexpr std::string_view kMeaning =
      "The operation as a call of the vendor's REST API; other keys are kept.";
  static constexpr std::array kFields{
      field<&RestApiMapping::method>("method", kRequired, "the HTTP method"),
      field<&RestApiMapping::path>("path", kRequired, "the HTTP resource"),
      field<&RestApiMapping::firmware_required>(
          "firmware_required", kOptional, "the minimum firmware as free text; never compared"),
  };
  static constexpr ExtraMap RestApiMapping::*kExtra = &RestApiMapping::extra;
};

template <>
struct RecordModel<DashboardApiMapping> {
  static constexpr std::string_view kName = "struct DashboardApiMapping";
  static constexpr std::string_view kMeaning =
      "The operation as a dashboard API call; other keys are kept.";
  static constexpr std::array kFields{
      field<&DashboardApiMapping::endpoint>("endpoint", kRequired, "the dashboard API call"),
  };
  static constexpr ExtraMap DashboardApiMapping::*kExtra = &DashboardApiMapping::extra;
};

template <>
struct RecordModel<ProtocolAlternatives> {
  static constexpr std::string_view kName = "struct ProtocolAlternatives";
  static constexpr std::string_view kMeaning =
      "Ways other than the CLI to do the same, each absent when null.";
  static constexpr std::array kFields{
      field<&ProtocolAlternatives::netconf>("netconf", kOptional, "the operation over NETCONF"),
      field<&ProtocolAlternatives::restconf>("restconf", kOptional, "the operation over RESTCONF"),
      field<&ProtocolAlternatives::gnmi>("gnmi", kOptional, "the operation over gNMI"),
      field<&ProtocolAlternatives::eapi>("eapi", kOptional, "the operation over eAPI"),
      field<&ProtocolAlternatives::rest_api>("rest_api", kOptional,
                                             "the operation over the vendor's REST API"),
      field<&ProtocolAlternatives::snmp>("snmp", kOptional, "the operation over SNMP"),
      field<&ProtocolAlternatives::dashboard_api>("dashboard_api", kOptional,
                                                  "the operation over the dashboard API"),
  };
  static constexpr ExtraMap ProtocolAlternatives::*kExtra = nullptr;
};

template <>
struct RecordModel<CommandEntry> {
  static constexpr std::string_view kName = "struct CommandEntry";
  static constexpr std::string_view kMeaning = "One firmware-dependent variant of a command.";
  static constexpr std::array kFields{
      field<&CommandEntry::applies_to>(
          "applies_to", kRequired,
          "the firmware range: \"*\", comparators such as \">=4.20,<4.30\" joined by \",\", "
          "alternatives joined by \"||\"; quote it"),
      field<&CommandEntry::cli>(
          "cli", kRequired, "the command text, or NOT_SUPPORTED when the firmware cannot do it"),
      field<&CommandEntry::sample_output>(
          "sample_output", kOptional, "what the device prints for the command, without prompts"),
      field<&CommandEntry::parser_notes>("parser_notes", kOptional, "how to read the output"),
      field<&CommandEntry::config_required>("config_required", kOptional,
                                            "device configuration the command needs first"),
      field<&CommandEntry::notes>("notes", kOptional,
                                  "caveats; for NOT_SUPPORTED, the reason a lookup reports"),
      field<&CommandEntry::unverified>(
          "unverified", kOptional,
          "true when the entry was not confirmed on real equipment (default false)"),
  };
  static constexpr ExtraMap CommandEntry::*kExtra = nullptr;
};

template <>
struct RecordModel<CommandBlock> {
  static constexpr std::string_view kName = "struct CommandBlock";
  static constexpr std::string_view kMeaning = "Everything the file says about one command type.";
  static constexpr std::array kFields{
      field<&CommandBlock::type>("type", kRequired, "the command type, by its name"),
      field<&CommandBlock::description>("description", kOptional,
                                        "what the command does on this platform"),
      field<&CommandBlock::versions>("versions", kRequired,
                                     "the firmware-dependent variants, in order"),
      field<&CommandBlock::protocol_alternatives>("protocol_alternatives", kOptional,
                                                  "other ways than the CLI to do the same"),
  };
  static constexpr ExtraMap CommandBlock::*kExtra = nullptr;
};

template <>
struct RecordModel<VendorFile> {
  static constexpr std::string_view kName = "struct VendorFile";
  static constexpr std::string_view kMeaning =
      "One vendor's command knowledge: which text performs each operation on which firmware.";
  static constexpr std::array kFields{
      field<&VendorFile::vendor>("vendor", kRequired,
                                 "the vendor identifier that lookups name, such as arista_eos"),
      field<&VendorFile::display_name>("display_name", kRequired, "the platform's name for people"),
      field<&VendorFile::manufacturer>("manufacturer", kRequired, "the company"),
      field<&VendorFile::product_family>("product_family", kRequired, "the product lines covered"),
      field<&VendorFile::notes>("notes", kOptional, "engineering notes on the platform"),
      field<&VendorFile::sources>("sources", kOptional, "documentation references"),
      field<&VendorFile::protocol_capabilities>("protocol_capabilities", kOptional,
                                                "which programmatic protocols the platform offers"),
      field<&VendorFile::commands>("commands", kRequired,
                                   "one block per command type the file covers"),
  };
  static constexpr ExtraMap VendorFile::*kExtra = nullptr;
};

}  // namespace ov
