// The vendor-file model as data to describe it: for every field its key,
// presence, meaning and kind, taken from the same tables the reader walks, so
// a description of the format can never miss a key the reader knows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/command_type.h"
#include "catalog/yaml_value.h"

namespace ov {

enum class Presence : std::uint8_t { Required, Optional };

enum class ShapeKind : std::uint8_t {
  Text,         // any scalar
  Flag,         // a plain true or false
  CommandName,  // one of the command types' YAML names
  List,         // a sequence of `element`
  Optional,     // `element`, or a null that means absent
  Record,       // a mapping read by `record`
};

struct RecordShape;

struct TypeShape {
  ShapeKind kind;
  const TypeShape* element = nullptr;        // List and Optional
  const RecordShape& (*record)() = nullptr;  // Record
  // For writers of documents, a stored List or Optional value: how many
  // elements it holds (an Optional 0 or 1), and where the i-th one is.
  std::size_t (*count)(const void* value) = nullptr;
  const void* (*item)(const void* value, std::size_t i) = nullptr;
};

struct FieldShape {
  std::string_view key;
  Presence presence;
  std::string_view meaning;
  const TypeShape* type;
  const void* (*at)(const void* record);  // where the record stores the value
};

struct RecordShape {
  std::string_view name;  // "VendorFile", as the record is called
  std::string_view meaning;
  std::span<const FieldShape> fields;
  bool keeps_extra;  // other keys are kept; in the other records they are skipped
  const ExtraMap* (*extra)(const void* record);  // where they are; nullptr when not kept
};

// The shape of a field type; records are specialised in record_model.h.
template <class T>
struct ShapeOf;

template <>
struct ShapeOf<std::string> {
  static constexpr TypeShape kShape{ShapeKind::Text};
};
template <>
struct ShapeOf<bool> {
  static constexpr TypeShape kShape{ShapeKind::Flag};
};
template <>
struct ShapeOf<CommandType> {
  static constexpr TypeShape kShape{ShapeKind::CommandName};
};
template <class T>
struct ShapeOf<std::vector<T>> {
  static constexpr TypeShape kShape{
      ShapeKind::List, &ShapeOf<T>::kShape, nullptr,
      [](const void* v) { return static_cast<const std::vector<T>*>(v)->size(); },
      [](const void* v, std::size_t i) -> const void* {
        return &(*static_cast<const std::vector<T>*>(v))[i];
      }};
};
template <class T>
struct ShapeOf<std::optional<T>> {
  static constexpr TypeShape kShape{
      ShapeKind::Optional, &ShapeOf<T>::kShape, nullptr,
      [](const void* v) -> std::size_t { return static_cast<const std::optional<T>*>(v)->has_value(); },
      [](const void* v, std::size_t) -> const void* {
        return &**static_cast<const std::optional<T>*>(v);
      }};
};

// The root record of a vendor file.
const RecordShape& vendor_file_shape();

}  // namespace ov
