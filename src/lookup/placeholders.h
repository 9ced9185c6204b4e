// The {NAME} placeholders of a stored text and the values that fill them.
// A placeholder is "{" + an identifier + "}"; braces of any other shape (the
// JSON bodies of dashboard texts) are text.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace ov {

// True iff `name` can name a placeholder: an identifier.
bool is_placeholder_name(std::string_view name);

// The names of the placeholders of `text`, each once, in order of first
// appearance.
std::vector<std::string> placeholder_names(std::string_view text);

// Values for placeholders; a name set twice keeps its last value.
class Settings {
 public:
  // Fails, naming it, when `name` is not a placeholder name.
  std::expected<void, Failure> set(std::string_view name, std::string value);

  // Nothing was set: texts are shown as stored.
  bool empty() const { return values_.empty(); }

  // `text` with every placeholder replaced by its value, or the names that
  // have no value, in order of first appearance. A value is not searched for
  // placeholders itself.
  std::expected<std::string, std::vector<std::string>> fill(std::string_view text) const;

 private:
  const std::string* find(std::string_view name) const;
  std::vector<std::pair<std::string, std::string>> values_;
};

// The refusal of placeholders left without a value, naming them:
// "no value for {interface} and {vlan_id}", with the names in `names`.
Failure missing_placeholders(std::vector<std::string> names);

}  // namespace ov
