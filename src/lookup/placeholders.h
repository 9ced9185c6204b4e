// The {NAME} placeholders of a stored text and the values that fill them.
// A placeholder is "{" + an identifier + "}"; braces of any other shape (the
// JSON bodies of dashboard texts) are text.
//
// JSON bodies: reading the text from its start, a "{" that does not open a
// placeholder opens a body, and the "}" that balances it closes the body;
// inside a body, a '"' opens a string and the next '"' not escaped by a
// backslash closes it, and braces within a string do not count. A placeholder
// met inside a string of a body ({"name": "{name}"}) is filled with its value
// JSON-escaped, so that the body stays valid JSON; anywhere else (a
// placeholder between quotes of a CLI line, or a bare JSON value such as
// "vlan": {vlan_id}) the value goes in as it is.
#pragma once

#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace ov {

// True iff `name` can name a placeholder: an identifier.
bool is_placeholder_name(std::string_view name);

// True iff `text` holds a C0 control character or DEL.
bool holds_control_character(std::string_view text);

// The names of the placeholders of `text`, each once, in order of first
// appearance.
std::vector<std::string> placeholder_names(std::string_view text);

// Values for placeholders; a name set twice keeps its last value.
class Settings {
 public:
  // Fails (Usage), naming it, when `name` is not a placeholder name, and
  // when `value` holds a control character (C0 or DEL): a line break in a
  // value would start another command on the device.
  std::expected<void, Failure> set(std::string_view name, std::string value);

  // Nothing was set: texts are shown as stored.
  bool empty() const { return values_.empty(); }

  // Each name with its value, in the order first set.
  const std::vector<std::pair<std::string, std::string>>& items() const { return values_; }

  // `text` with every placeholder replaced by its value (JSON-escaped inside
  // a JSON string, as above), or the names that have no value, in order of
  // first appearance. A value is not searched for placeholders itself.
  std::expected<std::string, std::vector<std::string>> fill(std::string_view text) const;

  // `text` with the placeholders that have a value filled as fill() does and
  // the others left as they are, and the names of those, in order of first
  // appearance.
  struct PartlyFilled {
    std::string text;
    std::vector<std::string> unfilled;
  };
  PartlyFilled fill_known(std::string_view text) const;

  // The names set that no text of `texts` uses, in the order they were
  // first set.
  std::vector<std::string> unused_in(std::span<const std::string_view> texts) const;

 private:
  const std::string* find(std::string_view name) const;
  std::vector<std::pair<std::string, std::string>> values_;
};

// The refusal of placeholders left without a value, naming them:
// "no value for {interface} and {vlan_id}", with the names in `names`.
Failure missing_placeholders(std::vector<std::string> names);

// Where a value was given that no placeholder takes.
enum class UnusedScope { Text, Table };

// "bogus is not a placeholder of the text" (of any text of the table): the
// front ends say how the name was given before it.
std::string unused_setting_message(std::string_view name, UnusedScope scope);

}  // namespace ov
