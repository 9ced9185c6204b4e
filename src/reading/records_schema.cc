#include "reading/records_schema.h"

#include <string>

#include "reading/record_schema.h"

namespace ov::reading {
namespace {

Json nullable(const char* type) { return Json::array({type, "null"}); }

Json record_schema_json(std::span<const FieldSpec> fields, std::string_view meaning);

Json field_schema(const FieldSpec& field) {
  Json schema{{"description", field.meaning}};
  switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::Lower:
      schema["type"] = nullable("string");
      break;
    case FieldKind::Int:
    case FieldKind::Seconds:
    case FieldKind::Speed:
      schema["type"] = nullable("integer");
      break;
    case FieldKind::Bool:
      schema["type"] = nullable("boolean");
      break;
    case FieldKind::Choice: {
      Json values = Json::array();
      for (const Word& word : field.words) {
        if (std::ranges::find(values, Json(word.value)) == values.end()) values.push_back(word.value);
      }
      values.push_back(nullptr);
      schema["enum"] = std::move(values);
      break;
    }
    case FieldKind::Mac:
      schema["type"] = nullable("string");
      schema["pattern"] = "^[0-9A-F]{2}(:[0-9A-F]{2}){5}$";
      break;
    case FieldKind::Vlans:
      schema["type"] = nullable("array");
      schema["items"] = {{"type", "integer"}, {"minimum", 1}, {"maximum", 4094}};
      break;
    case FieldKind::Texts:
    case FieldKind::Caps:
    case FieldKind::Prefixes:
      schema["type"] = "array";
      schema["items"] = {{"type", "string"}};
      break;
    case FieldKind::Records:
      schema["type"] = "array";
      schema["items"] = record_schema_json(field.fields, field.meaning);
      break;
  }
  return schema;
}

Json record_schema_json(std::span<const FieldSpec> fields, std::string_view meaning) {
  Json properties = Json::object();
  Json required = Json::array();
  for (const FieldSpec& field : fields) {
    properties[std::string(field.name)] = field_schema(field);
    required.push_back(field.name);
  }
  return {{"type", "object"},
          {"description", meaning},
          {"properties", std::move(properties)},
          {"required", std::move(required)},
          {"additionalProperties", false}};
}

}  // namespace

Json records_json_schema() {
  Json definitions = Json::object();
  for (const CommandTypeName& name : kCommandTypes) {
    const RecordSchema& schema = record_schema(name.type);
    std::string meaning = "A record read from the answer of " + std::string(name.yaml);
    if (schema.one) meaning += "; the answer gives one";
    definitions[std::string(name.yaml)] = {
        {"type", "array"}, {"items", record_schema_json(schema.fields, meaning)}};
  }
  return {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
          {"title", "vantrel parse records"},
          {"description", "The records of each command type, the same on every vendor; a field "
                          "the output does not print is null"},
          {"$defs", std::move(definitions)}};
}

}  // namespace ov::reading
