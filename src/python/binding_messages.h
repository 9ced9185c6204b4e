// The TypeError texts of argument binding. Plain C++, so the wording is
// testable without an interpreter.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace ov::py {

// How a callable's parameters are declared: the first `positional` of them
// positional-or-keyword, the rest keyword-only; the first `required` of them
// without a default.
struct CallableSpec {
  std::string_view class_name;  // empty for a free function
  std::string_view name;
  std::span<const std::string_view> params;
  std::size_t required = 0;
  std::size_t positional = static_cast<std::size_t>(-1);  // every parameter by default

  std::size_t positional_count() const {
    return positional < params.size() ? positional : params.size();
  }
};

// "Catalog.cli()" for a method, "probe_device()" for a free function.
std::string display_name(const CallableSpec& callable);

// "{fn} missing N required positional argument(s): 'a', 'b', and 'c'"
std::string missing_arguments_message(const CallableSpec& callable,
                                      std::span<const std::string_view> missing);
std::string unexpected_keyword_message(const CallableSpec& callable, std::string_view keyword);
std::string multiple_values_message(const CallableSpec& callable, std::string_view param);
// "{fn} takes [from K to] N positional arguments but M were given"
std::string too_many_positional_message(const CallableSpec& callable, std::size_t given);
// "argument 'NAME': " + the first exception's text.
std::string argument_message(std::string_view param, std::string_view text);
// "'T' object cannot be converted to 'TARGET'"
std::string conversion_message(std::string_view type_name, std::string_view target);

}  // namespace ov::py
