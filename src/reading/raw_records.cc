#include "reading/raw_records.h"

#include <variant>

namespace ov::reading {
namespace {

Json item_json(const parse::ListItem& item) {
  if (std::holds_alternative<std::monostate>(item)) return nullptr;
  if (const auto* text = std::get_if<std::string_view>(&item)) return *text;
  Json groups = Json::object();
  for (const auto& [name, text] : std::get<parse::Groups>(item)) groups[name] = optional_json(text);
  return groups;
}

}  // namespace

Json raw_field_json(const parse::Field& field) {
  if (const auto* text = std::get_if<std::string_view>(&field)) return *text;
  if (const auto* texts = std::get_if<std::vector<std::string_view>>(&field)) return *texts;
  Json list = Json::array();
  for (const parse::ListItem& item : std::get<std::vector<parse::ListItem>>(field)) {
    list.push_back(item_json(item));
  }
  return list;
}

Json raw_records_json(const std::vector<std::string>& header,
                      const parse::Records& records) {
  Json out = Json::array();
  for (const auto& record : records) {
    Json object = Json::object();
    for (std::size_t i = 0; i < record.size() && i < header.size(); ++i) {
      object[header[i]] = raw_field_json(record[i]);
    }
    out.push_back(std::move(object));
  }
  return out;
}

}  // namespace ov::reading
