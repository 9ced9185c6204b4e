#include "catalog/command_type.h"

namespace ov {

std::string unknown_command_type_message(std::string_view text) {
  std::string message = "unknown variant `";
  message += text;
  message += "`, expected one of ";
  for (std::size_t i = 0; i < kCommandTypes.size(); ++i) {
    if (i != 0) message += ", ";
    message += '`';
    message += kCommandTypes[i].yaml;
    message += '`';
  }
  return message;
}

std::string unknown_command_name_message(std::string_view text) {
  return "unknown CommandType: " + std::string(text);
}

std::expected<CommandType, std::string> parse_command_type(std::string_view text) {
  if (auto type = find_command_type(text)) return *type;
  return std::unexpected(unknown_command_type_message(text));
}

}  // namespace ov
