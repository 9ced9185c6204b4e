// The typed records an answer is read into: one schema per command type, the
// same on every vendor. One table drives the conversion of a template's raw
// values, the documents and the JSON Schema of `vantrel schema --records`.
// Field names, once released, are never renamed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "catalog/command_type.h"

namespace ov::reading {

// How a raw text becomes a typed value; empty text is null for every kind.
enum class FieldKind : std::uint8_t {
  Text,      // as printed, blanks trimmed; a List's items joined with line breaks
  Lower,     // as Text, lower-cased
  Int,       // decimal digits, thousands commas allowed
  Bool,      // a word of the field's word table
  Choice,    // a word of the field's word table, given as the table's text
  Mac,       // any common MAC form, as AA:BB:CC:DD:EE:FF
  Seconds,   // a duration, in seconds
  Vlans,     // a VLAN list with ranges, expanded
  Speed,     // Mbit/s
  Texts,     // a List's items (or a text split on commas)
  Caps,      // capability names or letters, as lower-case names
  Prefixes,  // addresses with their prefix length, a.b.c.d/len
  Records,   // a list of records of `fields`
};

// A word of a Bool or Choice field and what it means (Bool: "true"/"false").
struct Word {
  std::string_view word;  // compared without ASCII case
  std::string_view value;
};

struct FieldSpec {
  std::string_view name;
  FieldKind kind;
  std::string_view meaning;
  std::span<const Word> words = {};          // Bool and Choice
  std::span<const FieldSpec> fields = {};    // Records
  bool key = false;  // raw records with the same key merge into one record
};

struct RecordSchema {
  CommandType type;
  bool one = false;  // every raw record of every answer merges into one record
  bool write = false;  // a write operation: ok and messages from the device's error lines
  std::span<const FieldSpec> fields;
};

// The schema of `type`; indexed by CommandType.
const RecordSchema& record_schema(CommandType type);

}  // namespace ov::reading
