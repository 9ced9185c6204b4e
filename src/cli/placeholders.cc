#include "cli/placeholders.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "base/ascii.h"

namespace ov::cli {
namespace {

bool is_identifier(std::string_view name) {
  const auto word = [](char c) { return is_ascii_alpha(c) || c == '_'; };
  return !name.empty() && word(name.front()) &&
         std::ranges::all_of(name, [&](char c) { return word(c) || is_ascii_digit(c); });
}

// Calls on_text(run) and on_placeholder(name) for the parts of `text`, in order.
template <class OnText, class OnPlaceholder>
void split(std::string_view text, OnText on_text, OnPlaceholder on_placeholder) {
  std::size_t done = 0;
  for (std::size_t open = text.find('{'); open != std::string_view::npos;
       open = text.find('{', open + 1)) {
    const std::size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    if (!is_identifier(name)) continue;
    on_text(text.substr(done, open - done));
    on_placeholder(name);
    done = close + 1;
    open = close;
  }
  on_text(text.substr(done));
}

void add_once(std::vector<std::string>& names, std::string_view name) {
  if (std::ranges::find(names, name) == names.end()) names.emplace_back(name);
}

}  // namespace

std::vector<std::string> placeholder_names(std::string_view text) {
  std::vector<std::string> names;
  split(
      text, [](std::string_view) {}, [&](std::string_view name) { add_once(names, name); });
  return names;
}

std::expected<Settings, std::string> Settings::parse(const std::vector<std::string>& arguments) {
  Settings settings;
  for (const std::string& argument : arguments) {
    const std::size_t equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(0, equals);
    if (equals == std::string::npos || !is_identifier(name)) {
      return std::unexpected(
          "--set: expected NAME=VALUE with NAME a placeholder name such as "
          "interface, got '" +
          argument + "'");
    }
    std::string value = argument.substr(equals + 1);
    auto known = std::ranges::find(
        settings.values_, name, [](const auto& v) -> const auto& { return v.first; });
    if (known != settings.values_.end()) {
      known->second = std::move(value);
    } else {
      settings.values_.emplace_back(std::string(name), std::move(value));
    }
  }
  return settings;
}

const std::string* Settings::find(std::string_view name) const {
  for (const auto& [known, value] : values_) {
    if (known == name) return &value;
  }
  return nullptr;
}

std::expected<std::string, std::vector<std::string>> Settings::fill(std::string_view text) const {
  std::string out;
  std::vector<std::string> missing;
  split(
      text, [&](std::string_view run) { out += run; },
      [&](std::string_view name) {
        if (const std::string* value = find(name)) {
          out += *value;
        } else {
          add_once(missing, name);
        }
      });
  if (!missing.empty()) return std::unexpected(std::move(missing));
  return out;
}

std::string missing_placeholders_message(const std::vector<std::string>& names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) list += i + 1 == names.size() ? " and " : ", ";
    list += "{" + names[i] + "}";
  }
  return "no value for " + list + " (give " + (names.size() == 1 ? "it" : "each") +
         " with --set NAME=VALUE)";
}

void add_set_option(CLI::App& app, std::vector<std::string>& arguments) {
  app.add_option("--set", arguments,
                 "fill the placeholder {NAME} with VALUE (repeatable); with any --set, a\n"
                 "placeholder left without a value is an error")
      ->type_name("NAME=VALUE")
      ->allow_extra_args(false);
}

}  // namespace ov::cli
