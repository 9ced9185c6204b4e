#include "lookup/entry_document.h"

#include "catalog/command_type.h"
#include "catalog/record_model.h"
#include "lookup/outcome_names.h"
#include "lookup/placeholders.h"

namespace ov {
namespace {

Json yaml_json(const YamlValue& value);

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

Json shaped_record_json(const RecordShape& shape, const void* record);

// A stored value of `type` at `value`.
Json shaped_json(const TypeShape& type, const void* value) {
  switch (type.kind) {
    case ShapeKind::Text:
      return *static_cast<const std::string*>(value);
    case ShapeKind::Flag:
      return *static_cast<const bool*>(value);
    case ShapeKind::CommandName:
      return yaml_name(*static_cast<const CommandType*>(value));
    case ShapeKind::List: {
      Json items = Json::array();
      for (std::size_t i = 0; i < type.count(value); ++i) {
        items.push_back(shaped_json(*type.element, type.item(value, i)));
      }
      return items;
    }
    case ShapeKind::Optional:
      return type.count(value) == 0 ? Json(nullptr) : shaped_json(*type.element, type.item(value, 0));
    case ShapeKind::Record:
      return shaped_record_json(type.record(), value);
  }
  return nullptr;
}

Json shaped_record_json(const RecordShape& shape, const void* record) {
  Json fields = Json::object();
  for (const FieldShape& field : shape.fields) {
    fields[std::string(field.key)] = shaped_json(*field.type, field.at(record));
  }
  if (const ExtraMap* extra = shape.extra(record)) {
    for (const auto& [key, value] : *extra) fields[key] = yaml_json(value);
  }
  return fields;
}

template <class R>
Json optional_record(const std::optional<R>& record) {
  return record ? record_json(*record) : Json(nullptr);
}

}  // namespace

template <class R>
Json record_json(const R& record) {
  return shaped_record_json(record_shape<R>(), &record);
}

template Json record_json(const NetconfMapping&);
template Json record_json(const RestconfMapping&);
template Json record_json(const GnmiMapping&);
template Json record_json(const EapiMapping&);
template Json record_json(const RestApiMapping&);
template Json record_json(const SnmpMapping&);
template Json record_json(const DashboardApiMapping&);

Json alternatives_json(const ProtocolAlternatives& alternatives) {
  return record_json(alternatives);
}

Json lookup_document(const LookupAnswer& answer) {
  const LookupOutcome& outcome = answer.outcome;
  const CommandEntry* entry = outcome.entry;
  const bool text = outcome.status == LookupStatus::Text;
  return {{"vendor", answer.vendor},
          {"firmware", answer.firmware},
          {"firmware_used", answer.firmware_used},
          {"command", yaml_name(answer.command)},
          {"status", outcome_name(outcome.status)},
          {"applies_to", entry != nullptr ? Json(entry->applies_to) : Json(nullptr)},
          {"cli", text ? Json(answer.cli) : Json(nullptr)},
          {"placeholders", text ? placeholder_names(entry->cli) : std::vector<std::string>{}},
          {"reason", text ? Json(nullptr) : Json(outcome.reason)}};
}

Json show_document(const LookupAnswer& answer) {
  Json document = lookup_document(answer);
  const LookupOutcome& outcome = answer.outcome;
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

Json table_document(const TableAnswer& answer) {
  Json rows = Json::array();
  for (std::size_t i = 0; i < answer.outcomes.size(); ++i) {
    const bool found = answer.outcomes[i].status == LookupStatus::Text;
    rows.push_back({{"type", yaml_name(answer.types[i])},
                    {"status", outcome_name(answer.outcomes[i].status)},
                    {"cli", found ? Json(answer.texts[i]) : Json(nullptr)},
                    {"reason", found ? Json(nullptr) : Json(answer.texts[i])}});
  }
  return {{"vendor", answer.vendor},
          {"firmware", answer.firmware},
          {"firmware_used", answer.firmware_used},
          {"commands", std::move(rows)}};
}

}  // namespace ov
