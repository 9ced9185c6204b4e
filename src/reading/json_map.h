// Reading a JSON answer (the Dashboard API's) the way a template reads text:
// a map names where the items are and where each field sits in an item, and
// gives the same raw records a template gives, so that the typed records are
// built alike.
//
// A map is a JSON object:
//   {"records": "entries",                       dotted path to the items ("" the answer itself)
//    "fields": {"mac": "mac", "vlan": "vlan"},    field (or field__minutes) to a path in an item
//    "lists": {"members": {"records": "ports",    a list of records: its items within an item,
//                          "fields": {"interface": "portId"}}}}   and their subfields
// A "*" step of an items path goes through every member of an object or
// every element of an array ("ports.*.lldp"). A string is taken as it is, a number as its JSON text, true and false as
// "true" and "false", an array of scalars as a List's items, null as nothing.
// An answer that is an array is its own items; a lone object, one item.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "parse/template.h"

namespace ov::reading {

class JsonMap {
 public:
  // Fails naming what in the map is wrong.
  static std::expected<JsonMap, std::string> compile(std::string_view text);

  // The names of the raw values: the fields, then each list's "list__sub".
  const std::vector<std::string>& header() const { return header_; }

  // One raw record per item, then one per nested item (the item's own fields
  // left empty, so it continues the item's record). Fails when the answer is
  // not JSON or its items are not where the map says.
  std::expected<parse::ParseResult, std::string> parse(std::string_view answer) const;

 private:
  struct Path {
    std::vector<std::string> keys;
  };
  struct List {
    Path records;
    std::vector<Path> fields;  // in header order
  };

  std::vector<std::string> header_;
  Path records_;
  std::vector<Path> fields_;
  std::vector<List> lists_;
};

}  // namespace ov::reading
