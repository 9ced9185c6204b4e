#include "reading/json_map.h"

#include <span>

namespace ov::reading {
namespace {

constexpr std::string_view kEvery = "*";

// "a.b.c" as its keys; "" as none.
std::vector<std::string> keys_of(std::string_view dotted) {
  std::vector<std::string> keys;
  while (!dotted.empty()) {
    const std::size_t dot = dotted.find('.');
    keys.emplace_back(dotted.substr(0, dot));
    dotted.remove_prefix(dot == std::string_view::npos ? dotted.size() : dot + 1);
  }
  return keys;
}

// The value at `keys` under `value`, or nullptr.
const Json* at(const Json& value, const std::vector<std::string>& keys) {
  const Json* node = &value;
  for (const std::string& key : keys) {
    if (!node->is_object()) return nullptr;
    const auto found = node->find(key);
    if (found == node->end()) return nullptr;
    node = &*found;
  }
  return node;
}

std::string scalar_text(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return {};
  return value.dump();
}

// A raw value: a scalar as its text, an array of scalars as a List's items.
// The value's texts are kept by `records`, which the field joins.
parse::Field raw_value(const Json* value, parse::Records& records) {
  if (value == nullptr) return std::string_view();
  if (!value->is_array()) return records.keep(scalar_text(*value));
  std::vector<std::string_view> items;
  for (const Json& item : *value) items.push_back(records.keep(scalar_text(item)));
  return items;
}

// The items at `keys` under `node`, in document order: an array's elements,
// or a lone object. A "*" step goes through every member of an object or
// every element of an array.
void collect(const Json& node, std::span<const std::string> keys, std::vector<const Json*>& out) {
  if (keys.empty()) {
    if (node.is_array()) {
      for (const Json& item : node) out.push_back(&item);
    } else if (node.is_object()) {
      out.push_back(&node);
    }
    return;
  }
  if (keys.front() == kEvery) {
    if (node.is_array() || node.is_object()) {
      for (const Json& member : node) collect(member, keys.subspan(1), out);
    }
    return;
  }
  if (!node.is_object()) return;
  const auto found = node.find(keys.front());
  if (found != node.end()) collect(*found, keys.subspan(1), out);
}

std::vector<const Json*> items_at(const Json& value, const std::vector<std::string>& keys) {
  std::vector<const Json*> items;
  collect(value, keys, items);
  return items;
}

}  // namespace

std::expected<JsonMap, std::string> JsonMap::compile(std::string_view text) {
  const Json map = Json::parse(text, nullptr, false);
  if (map.is_discarded() || !map.is_object()) return std::unexpected("a map is a JSON object");
  JsonMap out;
  const auto read_path = [](const Json& value, Path& path) {
    if (!value.is_string()) return false;
    path.keys = keys_of(value.get<std::string>());
    return true;
  };
  if (!map.contains("records") || !read_path(map["records"], out.records_)) {
    return std::unexpected("records must be a dotted path");
  }
  if (!map.contains("fields") || !map["fields"].is_object()) {
    return std::unexpected("fields must map field names to paths");
  }
  for (const auto& [name, path] : map["fields"].items()) {
    if (!read_path(path, out.fields_.emplace_back())) {
      return std::unexpected("the path of " + name + " is not text");
    }
    out.header_.push_back(name);
  }
  if (map.contains("lists")) {
    if (!map["lists"].is_object()) return std::unexpected("lists must map list fields to their maps");
    for (const auto& [name, list] : map["lists"].items()) {
      List& into = out.lists_.emplace_back();
      if (!list.is_object() || !list.contains("records") || !read_path(list["records"], into.records) ||
          !list.contains("fields") || !list["fields"].is_object()) {
        return std::unexpected("the list " + name + " needs records and fields");
      }
      for (const auto& [sub, path] : list["fields"].items()) {
        if (!read_path(path, into.fields.emplace_back())) {
          return std::unexpected("the path of " + name + "." + sub + " is not text");
        }
        out.header_.push_back(name + "__" + sub);
      }
    }
  }
  return out;
}

std::expected<parse::ParseResult, std::string> JsonMap::parse(std::string_view answer) const {
  const Json document = Json::parse(answer, nullptr, false);
  if (document.is_discarded()) return std::unexpected("the answer is not JSON");
  parse::ParseResult result{parse::Records(header_.size()), {}};
  const std::size_t own = fields_.size();
  for (const Json* item : items_at(document, records_.keys)) {
    const std::span<parse::Field> record = result.records.add();
    for (std::size_t f = 0; f < own; ++f) record[f] = raw_value(at(*item, fields_[f].keys), result.records);
    std::size_t column = own;
    for (const List& list : lists_) {
      for (const Json* nested : items_at(*item, list.records.keys)) {
        const std::span<parse::Field> row = result.records.add();
        for (std::size_t s = 0; s < list.fields.size(); ++s) {
          row[column + s] = raw_value(at(*nested, list.fields[s].keys), result.records);
        }
      }
      column += list.fields.size();
    }
  }
  return result;
}

}  // namespace ov::reading
