#include "catalog/reading_messages.h"

#include <array>

#include "base/enum_table.h"
#include "catalog/catalog_error.h"
#include "catalog/scalar_type.h"

namespace ov {
namespace {

struct WantedText {
  Wanted wanted;
  std::string_view text;
};

constexpr std::array<WantedText, 5> kWantedTexts{{
    {Wanted::String, "a string"},
    {Wanted::Sequence, "a sequence"},
    {Wanted::Boolean, "a boolean"},
    {Wanted::FieldIdentifier, "field identifier"},
    {Wanted::VariantIdentifier, "variant identifier"},
}};
static_assert(indexed_by_enum(kWantedTexts, &WantedText::wanted),
              "kWantedTexts must follow Wanted");

std::string backquoted(std::string_view text) {
  std::string out = "`";
  out += text;
  out += '`';
  return out;
}

}  // namespace

std::string_view wanted_text(Wanted wanted) {
  return kWantedTexts[static_cast<std::size_t>(wanted)].text;
}

std::string found_text(const Node& node) {
  switch (node.kind) {
    case NodeKind::Sequence:
      return "sequence";
    case NodeKind::Mapping:
      return "map";
    case NodeKind::Scalar:
    case NodeKind::Alias:
      break;
  }
  const ScalarValue value = type_scalar(node);
  switch (value.kind) {
    case ScalarValue::Kind::Null:
      return "unit value";
    case ScalarValue::Kind::Bool:
      return "boolean " + backquoted(value.boolean ? "true" : "false");
    case ScalarValue::Kind::Int:
      return "integer " + backquoted(std::to_string(value.integer));
    case ScalarValue::Kind::Float:
      return "floating point " + backquoted(format_float(value.real));
    case ScalarValue::Kind::String:
      break;
  }
  return "string " + debug_quoted(node.text);
}

std::string invalid_type_message(const Node& found, std::string_view wanted) {
  std::string out = "invalid type: ";
  out += found_text(found);
  out += ", expected ";
  out += wanted;
  return out;
}

std::string missing_field_message(std::string_view key) {
  return "missing field " + backquoted(key);
}

std::string duplicate_field_message(std::string_view key) {
  return "duplicate field " + backquoted(key);
}

std::string duplicate_entry_message(const YamlValue& key) {
  std::string out = "duplicate entry ";
  switch (key.kind) {
    case YamlValue::Kind::Null:
      return out + "with null key";
    case YamlValue::Kind::Bool:
      return out + "with key " + backquoted(key.boolean ? "true" : "false");
    case YamlValue::Kind::Int:
      return out + "with key " + std::to_string(key.integer);
    case YamlValue::Kind::Float:
      return out + "with key " + format_float(key.real);
    case YamlValue::Kind::String:
      return out + "with key " + debug_quoted(key.text);
    case YamlValue::Kind::Sequence:
    case YamlValue::Kind::Mapping:
    case YamlValue::Kind::Tagged:
      break;
  }
  return out + "in YAML map";
}

}  // namespace ov
