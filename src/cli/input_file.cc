#include "cli/input_file.h"

#include <iostream>
#include <iterator>

#include "catalog/text_file.h"

namespace ov::cli {

std::expected<std::string, Failure> read_input(const std::string& file, std::string_view option) {
  if (file == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  auto text = read_text_file(file);
  if (!text) {
    return std::unexpected(
        usage_failure(std::string(option) + ": " + file + ": " + text.error().render()));
  }
  return std::move(*text);
}

std::string_view input_name(const std::string& file) {
  if (file == "-") return "stdin";
  return file;
}

}  // namespace ov::cli
