// The {NAME} placeholders of a stored text and filling them from --set.
// A placeholder is "{" + an identifier + "}"; braces of any other shape (the
// JSON bodies of dashboard texts) are text.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace ov::cli {

// The names of the placeholders of `text`, each once, in order of first
// appearance.
std::vector<std::string> placeholder_names(std::string_view text);

// The values given with --set NAME=VALUE; a name given twice keeps its last value.
class Settings {
 public:
  // Reads the raw NAME=VALUE arguments; fails naming the first malformed one.
  static std::expected<Settings, std::string> parse(const std::vector<std::string>& arguments);

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

// "no value for {interface} and {vlan_id} (give it with --set NAME=VALUE)".
std::string missing_placeholders_message(const std::vector<std::string>& names);

// The repeatable --set NAME=VALUE option.
void add_set_option(CLI::App& app, std::vector<std::string>& arguments);

}  // namespace ov::cli
