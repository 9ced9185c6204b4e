#include "catalog/yaml_parser.h"

#include <string>
#include <utility>

namespace ov {
namespace {

Mark mark_of(const yaml_mark_t& mark) { return Mark{mark.index, mark.line, mark.column}; }

}  // namespace

YamlEvent::YamlEvent(YamlEvent&& other) noexcept : event_(other.event_) {
  other.event_ = yaml_event_t{};
}

YamlEvent& YamlEvent::operator=(YamlEvent&& other) noexcept {
  if (this != &other) {
    reset();
    event_ = other.event_;
    other.event_ = yaml_event_t{};
  }
  return *this;
}

YamlEvent::~YamlEvent() { reset(); }

void YamlEvent::reset() {
  if (event_.type != YAML_NO_EVENT) yaml_event_delete(&event_);
  event_ = yaml_event_t{};
}

YamlParser::YamlParser(std::string_view text) {
  ready_ = yaml_parser_initialize(&parser_) != 0;
  if (!ready_) return;
  yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  // The text is UTF-8 by contract: a byte-order mark of another encoding is
  // then an encoding error, not a reason to switch. A UTF-8 mark is left to
  // libyaml's detection, which skips it; with the encoding named, libyaml
  // would take the mark for a character and shift the first line by one.
  if (!text.starts_with("\xEF\xBB\xBF")) yaml_parser_set_encoding(&parser_, YAML_UTF8_ENCODING);
}

YamlParser::~YamlParser() {
  if (ready_) yaml_parser_delete(&parser_);
}

bool YamlParser::next(YamlEvent& event) {
  return ready_ && yaml_parser_parse(&parser_, event.slot()) != 0;
}

YamlError YamlParser::error() const {
  if (!ready_) return YamlError::parser("out of memory", Mark{}, std::nullopt, Mark{});
  Mark problem = mark_of(parser_.problem_mark);
  // The reader knows only the byte offset of an encoding problem.
  if (parser_.error == YAML_READER_ERROR) problem.index = parser_.problem_offset;
  std::string text = parser_.problem != nullptr ? parser_.problem : "out of memory";
  std::optional<std::string> context;
  if (parser_.context != nullptr) context = parser_.context;
  return YamlError::parser(std::move(text), problem, std::move(context),
                           mark_of(parser_.context_mark));
}

}  // namespace ov
