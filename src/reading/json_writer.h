// JSON written as it is made, for documents too large to build as a tree
// first (a hundred thousand records): the bytes are those of
// Json::dump(-1, ' ', false, replace), the compact one-line form the tool
// prints, and go to a sink in pieces.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/json.h"

namespace ov::reading {

class JsonWriter {
 public:
  // `sink` takes the text as it fills up and at flush().
  explicit JsonWriter(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {}
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  // Structure: a comma goes before each member or element but the first.
  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  void key(std::string_view name);  // an object's next member

  // A whole value: an element of an array, or the value after key().
  void value(const Json& value);
  void string(std::string_view text);
  void integer(long long number);
  void null();

  // Gives the sink what is left.
  void flush();

 private:
  void element();  // before a value: a comma unless it opens its container
  void escaped(std::string_view text);
  void spill();  // gives the sink a full buffer

  std::function<void(std::string_view)> sink_;
  std::string out_;
  bool first_ = true;  // nothing written yet in the innermost container (or at all)
};

}  // namespace ov::reading
