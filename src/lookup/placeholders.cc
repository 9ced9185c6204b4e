#include "lookup/placeholders.h"

#include <algorithm>

#include "base/ascii.h"

namespace ov {
namespace {

// Calls on_text(run) and on_placeholder(name) for the parts of `text`, in order.
template <class OnText, class OnPlaceholder>
void split(std::string_view text, OnText on_text, OnPlaceholder on_placeholder) {
  std::size_t done = 0;
  for (std::size_t open = text.find('{'); open != std::string_view::npos;
       open = text.find('{', open + 1)) {
    const std::size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    if (!is_placeholder_name(name)) continue;
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

bool is_placeholder_name(std::string_view name) {
  const auto word = [](char c) { return is_ascii_alpha(c) || c == '_'; };
  return !name.empty() && word(name.front()) &&
         std::ranges::all_of(name, [&](char c) { return word(c) || is_ascii_digit(c); });
}

std::vector<std::string> placeholder_names(std::string_view text) {
  std::vector<std::string> names;
  split(
      text, [](std::string_view) {}, [&](std::string_view name) { add_once(names, name); });
  return names;
}

std::expected<void, Failure> Settings::set(std::string_view name, std::string value) {
  if (!is_placeholder_name(name)) {
    return std::unexpected(usage_failure("not a placeholder name: '" + std::string(name) +
                                         "' (a name such as interface)"));
  }
  auto known =
      std::ranges::find(values_, name, [](const auto& v) -> const auto& { return v.first; });
  if (known != values_.end()) {
    known->second = std::move(value);
  } else {
    values_.emplace_back(std::string(name), std::move(value));
  }
  return {};
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

Failure missing_placeholders(std::vector<std::string> names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) list += i + 1 == names.size() ? " and " : ", ";
    list += "{" + names[i] + "}";
  }
  return {FailureKind::MissingValue, "no value for " + list, std::move(names)};
}

}  // namespace ov
