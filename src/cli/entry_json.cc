#include "cli/entry_json.h"

#include "cli/outcome_table.h"
#include "cli/placeholders.h"

namespace ov::cli {
namespace {

Json optional_json(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

template <class T>
Json optional_record(const std::optional<T>& record) {
  return record ? fields_json(*record) : Json(nullptr);
}

// A mapping key as text: scalars as written, anything else as its JSON.
std::string key_text(const YamlValue& key) {
  switch (key.kind) {
    case YamlValue::Kind::String:
    case YamlValue::Kind::Int:
    case YamlValue::Kind::Float:
      return key.text;
    case YamlValue::Kind::Bool:
      return key.boolean ? "true" : "false";
    case YamlValue::Kind::Null:
      return "null";
    default:
      return yaml_json(key).dump(-1, ' ', false, Json::error_handler_t::replace);
  }
}

Json with_extra(Json fields, const ExtraMap& extra) {
  for (const auto& [key, value] : extra) fields[key] = yaml_json(value);
  return fields;
}

}  // namespace

Json yaml_json(const YamlValue& value) {
  switch (value.kind) {
    case YamlValue::Kind::Null:
      return nullptr;
    case YamlValue::Kind::Bool:
      return value.boolean;
    case YamlValue::Kind::Int:
      return value.integer;
    case YamlValue::Kind::Float:
      return value.real;
    case YamlValue::Kind::String:
      return value.text;
    case YamlValue::Kind::Sequence: {
      Json items = Json::array();
      for (const YamlValue& item : value.items) items.push_back(yaml_json(item));
      return items;
    }
    case YamlValue::Kind::Mapping: {
      Json object = Json::object();
      for (std::size_t i = 0; i + 1 < value.items.size(); i += 2) {
        object[key_text(value.items[i])] = yaml_json(value.items[i + 1]);
      }
      return object;
    }
    case YamlValue::Kind::Tagged:
      // The tag is the author's note to a YAML reader; the value is the data.
      return value.items.empty() ? Json(nullptr) : yaml_json(value.items.front());
  }
  return nullptr;
}

Json fields_json(const NetconfMapping& record) {
  return {{"yang_model", record.yang_model},
          {"data_path", record.data_path},
          {"firmware_required", optional_json(record.firmware_required)}};
}

Json fields_json(const RestconfMapping& record) {
  return {{"url_path", record.url_path},
          {"firmware_required", optional_json(record.firmware_required)}};
}

Json fields_json(const GnmiMapping& record) {
  return {{"path", record.path}, {"firmware_required", optional_json(record.firmware_required)}};
}

Json fields_json(const EapiMapping& record) {
  return {{"method", record.method},
          {"cli", optional_json(record.cli)},
          {"commands", record.commands ? Json(*record.commands) : Json(nullptr)},
          {"format", optional_json(record.format)},
          {"firmware_required", optional_json(record.firmware_required)}};
}

Json fields_json(const RestApiMapping& record) {
  return with_extra({{"method", record.method},
                     {"path", record.path},
                     {"firmware_required", optional_json(record.firmware_required)}},
                    record.extra);
}

Json fields_json(const SnmpMapping& record) {
  return {{"oid", record.oid}, {"version", optional_json(record.version)}};
}

Json fields_json(const DashboardApiMapping& record) {
  return with_extra({{"endpoint", record.endpoint}}, record.extra);
}

Json alternatives_json(const ProtocolAlternatives& alternatives) {
  return {{"netconf", optional_record(alternatives.netconf)},
          {"restconf", optional_record(alternatives.restconf)},
          {"gnmi", optional_record(alternatives.gnmi)},
          {"eapi", optional_record(alternatives.eapi)},
          {"rest_api", optional_record(alternatives.rest_api)},
          {"snmp", optional_record(alternatives.snmp)},
          {"dashboard_api", optional_record(alternatives.dashboard_api)}};
}

Json lookup_json(const LookupRequest& request, const LookupOutcome& outcome, std::string_view cli) {
  const CommandEntry* entry = outcome.entry;
  const bool text = outcome.status == LookupStatus::Text;
  return {{"vendor", request.vendor},
          {"firmware", request.firmware},
          {"firmware_used", request.firmware_used},
          {"command", yaml_name(request.command)},
          {"status", info(outcome.status).name},
          {"applies_to", entry != nullptr ? Json(entry->applies_to) : Json(nullptr)},
          {"cli", text ? Json(cli) : Json(nullptr)},
          {"placeholders", text ? placeholder_names(entry->cli) : std::vector<std::string>{}}};
}

Json show_json(const LookupRequest& request, const LookupOutcome& outcome, std::string_view cli) {
  Json document = lookup_json(request, outcome, cli);
  const CommandEntry* entry = outcome.entry;
  const auto entry_field = [&](const std::optional<std::string> CommandEntry::*field) {
    return entry != nullptr ? optional_json(entry->*field) : Json(nullptr);
  };
  document["sample_output"] = entry_field(&CommandEntry::sample_output);
  document["parser_notes"] = entry_field(&CommandEntry::parser_notes);
  document["config_required"] = entry_field(&CommandEntry::config_required);
  document["notes"] = entry_field(&CommandEntry::notes);
  document["unverified"] = entry != nullptr ? Json(entry->unverified) : Json(nullptr);
  document["description"] =
      outcome.block != nullptr ? optional_json(outcome.block->description) : Json(nullptr);
  document["alternatives"] = alternatives_json(
      outcome.block != nullptr ? outcome.block->protocol_alternatives : ProtocolAlternatives{});
  return document;
}

}  // namespace ov::cli
