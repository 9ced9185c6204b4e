#include "lookup/placeholders.h"

#include <algorithm>

#include "base/ascii.h"

namespace ov {
namespace {

// Where a reading of a text stands with respect to its JSON bodies (see the
// header): fed every run of text between placeholders, in order.
class JsonBodies {
 public:
  void read(std::string_view run) {
    for (const char c : run) {
      if (in_string_) {
        if (escaped_) {
          escaped_ = false;
        } else if (c == '\\') {
          escaped_ = true;
        } else if (c == '"') {
          in_string_ = false;
        }
      } else if (c == '{') {
        ++depth_;
      } else if (c == '}') {
        if (depth_ > 0) --depth_;
      } else if (c == '"' && depth_ > 0) {
        in_string_ = true;
      }
    }
  }

  // Inside a string of a body: a string is only ever opened inside one.
  bool in_string() const { return in_string_; }

 private:
  std::size_t depth_ = 0;
  bool in_string_ = false;
  bool escaped_ = false;
};

// Calls on_text(run) and on_placeholder(name, in_json_string) for the parts
// of `text`, in order.
template <class OnText, class OnPlaceholder>
void split(std::string_view text, OnText on_text, OnPlaceholder on_placeholder) {
  JsonBodies bodies;
  const auto text_run = [&](std::string_view run) {
    bodies.read(run);
    on_text(run);
  };
  std::size_t done = 0;
  for (std::size_t open = text.find('{'); open != std::string_view::npos;
       open = text.find('{', open + 1)) {
    const std::size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    if (!is_placeholder_name(name)) continue;
    text_run(text.substr(done, open - done));
    on_placeholder(name, bodies.in_string());
    done = close + 1;
    open = close;
  }
  text_run(text.substr(done));
}

void add_once(std::vector<std::string>& names, std::string_view name) {
  if (std::ranges::find(names, name) == names.end()) names.emplace_back(name);
}

// `value` as the inside of a JSON string. Control characters never get here:
// Settings::set refuses them.
std::string json_escaped(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

bool is_placeholder_name(std::string_view name) {
  const auto word = [](char c) { return is_ascii_alpha(c) || c == '_'; };
  return !name.empty() && word(name.front()) &&
         std::ranges::all_of(name, [&](char c) { return word(c) || is_ascii_digit(c); });
}

bool holds_control_character(std::string_view text) {
  return std::ranges::any_of(text, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

std::vector<std::string> placeholder_names(std::string_view text) {
  std::vector<std::string> names;
  split(
      text, [](std::string_view) {}, [&](std::string_view name, bool) { add_once(names, name); });
  return names;
}

std::expected<void, Failure> Settings::set(std::string_view name, std::string value) {
  if (!is_placeholder_name(name)) {
    return std::unexpected(usage_failure("not a placeholder name: '" + std::string(name) +
                                         "' (a name such as interface)"));
  }
  if (holds_control_character(value)) {
    return std::unexpected(usage_failure("value of {" + std::string(name) +
                                         "} holds a control character (a line break would "
                                         "start another command)"));
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

Settings::PartlyFilled Settings::fill_known(std::string_view text) const {
  PartlyFilled out;
  split(
      text, [&](std::string_view run) { out.text += run; },
      [&](std::string_view name, bool in_json_string) {
        if (const std::string* value = find(name)) {
          out.text += in_json_string ? json_escaped(*value) : *value;
        } else {
          out.text += "{" + std::string(name) + "}";
          add_once(out.unfilled, name);
        }
      });
  return out;
}

std::expected<std::string, std::vector<std::string>> Settings::fill(std::string_view text) const {
  PartlyFilled filled = fill_known(text);
  if (!filled.unfilled.empty()) return std::unexpected(std::move(filled.unfilled));
  return std::move(filled.text);
}

std::vector<std::string> Settings::unused_in(std::span<const std::string_view> texts) const {
  std::vector<std::string> used;
  for (const std::string_view text : texts) {
    for (const std::string& name : placeholder_names(text)) add_once(used, name);
  }
  std::vector<std::string> unused;
  for (const auto& [name, value] : values_) {
    if (std::ranges::find(used, name) == used.end()) unused.push_back(name);
  }
  return unused;
}

Failure missing_placeholders(std::vector<std::string> names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) list += i + 1 == names.size() ? " and " : ", ";
    list += "{" + names[i] + "}";
  }
  return {FailureKind::MissingValue, "no value for " + list, std::move(names)};
}

std::string unused_setting_message(std::string_view name, UnusedScope scope) {
  return std::string(name) + " is not a placeholder of " +
         (scope == UnusedScope::Text ? "the text" : "any text of the table");
}

}  // namespace ov
