#include "reports/schema.h"

#include <string>

#include "catalog/command_type.h"
#include "catalog/record_shape.h"

namespace ov {
namespace {

constexpr std::string_view kDraft = "https://json-schema.org/draft/2020-12/schema";

std::string reference(std::string_view name) { return "#/$defs/" + std::string(name); }

class SchemaBuilder {
 public:
  // The schema of a value of `type`, its records added to the definitions.
  Json value(const TypeShape& type) {
    switch (type.kind) {
      case ShapeKind::Text:
        return {{"$ref", reference("text")}};
      case ShapeKind::Flag:
        return {{"type", "boolean"}};
      case ShapeKind::CommandName:
        return {{"$ref", reference("CommandType")}};
      case ShapeKind::List:
        // A key with nothing after it reads as an empty list.
        return {{"type", Json::array({"array", "null"})}, {"items", value(*type.element)}};
      case ShapeKind::Optional:
        return {{"anyOf", Json::array({Json{{"type", "null"}}, value(*type.element)})}};
      case ShapeKind::Record:
        return {{"$ref", reference(record(type.record()))}};
    }
    return Json::object();
  }

  // Adds `shape` (and the records under it) once; returns its name.
  std::string_view record(const RecordShape& shape) {
    if (definitions_.contains(std::string(shape.name))) return shape.name;
    definitions_[std::string(shape.name)] = nullptr;  // holds the place while the fields are built
    Json properties = Json::object();
    Json required = Json::array();
    for (const FieldShape& field : shape.fields) {
      Json property{{"description", field.meaning}};
      property.update(value(*field.type));
      properties[std::string(field.key)] = std::move(property);
      if (field.presence == Presence::Required) required.push_back(field.key);
    }
    // A key with nothing after it reads as an empty record: fine unless a key is required.
    Json record{{"type", required.empty() ? Json::array({"object", "null"}) : Json("object")},
                {"description", shape.meaning},
                {"properties", std::move(properties)}};
    if (!required.empty()) record["required"] = std::move(required);
    definitions_[std::string(shape.name)] = std::move(record);
    return shape.name;
  }

  Json take_definitions() { return std::move(definitions_); }

 private:
  Json definitions_ = Json::object();
};

Json command_type_schema() {
  Json names = Json::array();
  for (const CommandTypeName& name : kCommandTypes) names.push_back(name.yaml);
  return {{"description", "one of the command types, by its name in capitals"},
          {"enum", std::move(names)}};
}

}  // namespace

Json vendor_file_schema() {
  SchemaBuilder builder;
  const std::string_view root = builder.record(vendor_file_shape());
  Json definitions = builder.take_definitions();
  definitions["text"] = {
      {"description", "any scalar; 4.22 or true is read as its text, so quoting is optional"},
      {"type", Json::array({"string", "number", "boolean", "null"})}};
  definitions["CommandType"] = command_type_schema();
  return {{"$schema", kDraft},
          {"title", "vantrel vendor file"},
          {"description", vendor_file_shape().meaning},
          {"$ref", reference(root)},
          {"$defs", std::move(definitions)}};
}

}  // namespace ov
