// Owners of libyaml's parser and events, so every path out of a read frees
// what libyaml allocated.
#pragma once

#include <yaml.h>

#include <string_view>

#include "catalog/catalog_error.h"

namespace ov {

// One parsed event. Move-only; deletes the event's memory on destruction.
class YamlEvent {
 public:
  YamlEvent() = default;
  YamlEvent(YamlEvent&& other) noexcept;
  YamlEvent& operator=(YamlEvent&& other) noexcept;
  YamlEvent(const YamlEvent&) = delete;
  YamlEvent& operator=(const YamlEvent&) = delete;
  ~YamlEvent();

  const yaml_event_t& get() const { return event_; }
  yaml_event_type_t type() const { return event_.type; }
  // A place libyaml may fill; requires that this event holds nothing.
  yaml_event_t* slot() { return &event_; }

 private:
  void reset();
  yaml_event_t event_{};  // type YAML_NO_EVENT owns nothing
};

// A libyaml parser reading UTF-8 text held by the caller. The text must stay
// alive, unchanged, as long as the parser.
class YamlParser {
 public:
  explicit YamlParser(std::string_view text);
  YamlParser(const YamlParser&) = delete;
  YamlParser& operator=(const YamlParser&) = delete;
  ~YamlParser();

  // Pulls the next event into `event` (which must be empty). Returns false
  // on a syntax error; error() then describes it.
  bool next(YamlEvent& event);

  // The parser's problem and context texts with their marks.
  YamlError error() const;

 private:
  yaml_parser_t parser_;
  bool ready_ = false;
};

}  // namespace ov
