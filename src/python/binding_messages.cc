#include "python/binding_messages.h"

namespace ov::py {
namespace {

std::string quoted(std::string_view name) {
  std::string out = "'";
  out += name;
  out += '\'';
  return out;
}

// 'a'; 'a' and 'b'; 'a', 'b', and 'c'
std::string name_list(std::span<const std::string_view> names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) {
      if (names.size() > 2) out += ',';
      out += i + 1 == names.size() ? " and " : " ";
    }
    out += quoted(names[i]);
  }
  return out;
}

}  // namespace

std::string display_name(const CallableSpec& callable) {
  std::string out;
  if (!callable.class_name.empty()) {
    out += callable.class_name;
    out += '.';
  }
  out += callable.name;
  out += "()";
  return out;
}

std::string missing_arguments_message(const CallableSpec& callable,
                                      std::span<const std::string_view> missing) {
  return display_name(callable) + " missing " + std::to_string(missing.size()) +
         " required positional " + (missing.size() == 1 ? "argument" : "arguments") + ": " +
         name_list(missing);
}

std::string unexpected_keyword_message(const CallableSpec& callable, std::string_view keyword) {
  return display_name(callable) + " got an unexpected keyword argument " + quoted(keyword);
}

std::string multiple_values_message(const CallableSpec& callable, std::string_view param) {
  return display_name(callable) + " got multiple values for argument " + quoted(param);
}

std::string too_many_positional_message(const CallableSpec& callable, std::size_t given) {
  const std::size_t most = callable.positional_count();
  const std::string count = callable.required >= most
                                ? std::to_string(most)
                                : "from " + std::to_string(callable.required) + " to " +
                                      std::to_string(most);
  return display_name(callable) + " takes " + count + " positional arguments but " +
         std::to_string(given) + (given == 1 ? " was" : " were") + " given";
}

std::string argument_message(std::string_view param, std::string_view text) {
  std::string out = "argument ";
  out += quoted(param);
  out += ": ";
  out += text;
  return out;
}

std::string conversion_message(std::string_view type_name, std::string_view target) {
  return quoted(type_name) + " object cannot be converted to " + quoted(target);
}

}  // namespace ov::py
