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
};

struct FieldShape {
  std::string_view key;
  Presence presence;
  std::string_view meaning;
  const TypeShape* type;
};

struct RecordShape {
  std::string_view name;  // "VendorFile", as the record is called
  std::string_view meaning;
  std::span<const FieldShape> fields;
  bool keeps_extra;  // other keys are kept; in the other records they are skipped
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
  static constexpr TypeShape kShape{ShapeKind::List, &ShapeOf<T>::kShape};
};
template <class T>
struct ShapeOf<std::optional<T>> {
  static constexpr TypeShape kShape{ShapeKind::Optional, &ShapeOf<T>::kShape};
};

// The root record of a vendor file.
const RecordShape& vendor_file_shape();

}  // namespace ov
