// A generic YAML node, kept for the keys of a record that the model does not
// name (its `extra` map). The documents of show and plan give them back as
// JSON; nothing else reads them after loading.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ov {

struct YamlValue {
  enum class Kind : std::uint8_t { Null, Bool, Int, Float, String, Sequence, Mapping, Tagged };

  Kind kind = Kind::Null;
  bool boolean = false;
  std::int64_t integer = 0;
  double real = 0.0;
  std::string text;  // String: the text; Int/Float: the scalar as written; Tagged: the tag
  // Sequence: the elements. Mapping: keys and values alternating, in file
  // order. Tagged: the one tagged value.
  std::vector<YamlValue> items;
};

// Insertion-ordered map from key text to value.
using ExtraMap = std::vector<std::pair<std::string, YamlValue>>;

}  // namespace ov
