#include "lookup/inventory.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "fleet/targets.h"
#include "lookup/csv.h"
#include "lookup/request.h"
#include "lookup/user_names.h"

namespace ov {
namespace {

// The columns with a meaning of their own, and the field each fills.
struct NamedColumn {
  std::string_view name;
  std::string InventoryRow::*field;
  bool probe_needs;  // Plan needs every one
};

constexpr std::array<NamedColumn, 3> kNamedColumns{{
    {"host", &InventoryRow::host, true},
    {"vendor", &InventoryRow::vendor, false},
    {"firmware", &InventoryRow::firmware, false},
}};
constexpr std::size_t kHostColumn = 0;

bool needs(InventoryUse use, const NamedColumn& column) {
  return use == InventoryUse::Plan || column.probe_needs;
}

// Every refusal names its place: "NAME:LINE: " and, for a cell, "column C: ".
class Places {
 public:
  explicit Places(std::string_view name) : name_(name) {}

  Failure at(std::size_t line, std::string_view problem) const {
    return usage_failure(std::string(name_) + ":" + std::to_string(line) + ": " +
                         std::string(problem));
  }
  Failure at(std::size_t line, std::string_view column, std::string_view problem) const {
    return at(line, "column " + std::string(column) + ": " + std::string(problem));
  }

 private:
  std::string_view name_;
};

struct Header {
  std::size_t line = 1;
  std::size_t width = 0;
  std::array<std::optional<std::size_t>, kNamedColumns.size()> named;  // each one's cell
  std::vector<std::pair<std::size_t, std::string>> values;             // cell, placeholder
};

std::expected<Header, Failure> read_header(const CsvRecord& record, const Places& places,
                                           InventoryUse use) {
  Header header{record.line, record.cells.size(), {}, {}};
  const auto& cells = record.cells;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string& name = cells[i];
    if (name.empty()) continue;
    if (std::find(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(i), name) !=
        cells.begin() + static_cast<std::ptrdiff_t>(i)) {
      return std::unexpected(places.at(record.line, "column " + name + " given twice"));
    }
    const auto known = std::ranges::find(kNamedColumns, name, &NamedColumn::name);
    if (known != kNamedColumns.end()) {
      header.named[static_cast<std::size_t>(known - kNamedColumns.begin())] = i;
    } else if (is_placeholder_name(name)) {
      header.values.emplace_back(i, name);
    }
  }
  for (std::size_t k = 0; k < kNamedColumns.size(); ++k) {
    if (!header.named[k] && needs(use, kNamedColumns[k])) {
      return std::unexpected(
          places.at(record.line, "no " + std::string(kNamedColumns[k].name) + " column"));
    }
  }
  return header;
}

// A host as probe takes it, never a network or range to expand.
bool is_one_host(const std::string& host) {
  std::vector<std::string> hosts;
  return expand_target(host, hosts) && hosts.size() == 1 && hosts.front() == host;
}

std::expected<InventoryRow, Failure> read_row(const CsvRecord& record, const Header& header,
                                              const Places& places, InventoryUse use) {
  if (record.cells.size() > header.width) {
    return std::unexpected(
        places.at(record.line, std::to_string(record.cells.size()) + " cells, more than the " +
                                   std::to_string(header.width) + " columns of the header"));
  }
  static const std::string kEmpty;
  const auto cell = [&](std::size_t i) -> const std::string& {
    return i < record.cells.size() ? record.cells[i] : kEmpty;
  };
  InventoryRow row{record.line, {}, {}, {}, {}};
  for (std::size_t k = 0; k < kNamedColumns.size(); ++k) {
    if (!header.named[k]) continue;
    const NamedColumn& column = kNamedColumns[k];
    const std::string& value = cell(*header.named[k]);
    if (value.empty() && needs(use, column)) {
      return std::unexpected(places.at(record.line, column.name, "empty"));
    }
    if (holds_control_character(value)) {
      return std::unexpected(places.at(record.line, column.name, "holds a control character"));
    }
    row.*column.field = value;
  }
  if (!is_one_host(row.host)) {
    return std::unexpected(places.at(record.line, kNamedColumns[kHostColumn].name,
                                     "'" + row.host + "' is not one host (a network or range)"));
  }
  for (const auto& [at, name] : header.values) {
    if (cell(at).empty()) continue;
    if (auto set = row.values.set(name, cell(at)); !set) {
      return std::unexpected(places.at(record.line, name, set.error().message));
    }
  }
  return row;
}

// The row's vendor as the catalog's identifier, once its vendor and firmware read.
std::expected<void, Failure> judge(InventoryRow& row, const Catalog& catalog, bool exact_firmware,
                                   const Places& places) {
  LookupKey key = lookup_key(catalog, row.vendor, row.firmware, exact_firmware);
  const LookupOutcome outcome = classify_lookup(catalog, key.vendor, key.firmware, CommandType{});
  if (auto refused = refusal(catalog, row.vendor, outcome)) {
    const bool vendor = outcome.status == LookupStatus::UnknownVendor;
    return std::unexpected(places.at(row.line, vendor ? "vendor" : "firmware", refused->message));
  }
  row.vendor = std::move(key.vendor);
  return {};
}

}  // namespace

std::expected<std::vector<InventoryRow>, Failure> read_inventory(std::string_view text,
                                                                 std::string_view name,
                                                                 InventoryUse use,
                                                                 const Catalog* catalog,
                                                                 bool exact_firmware) {
  const Places places(name);
  auto records = read_csv(text);
  if (!records) return std::unexpected(places.at(records.error().line, records.error().problem));
  const CsvRecord no_header{1, {}};
  auto header = read_header(records->empty() ? no_header : records->front(), places, use);
  if (!header) return std::unexpected(std::move(header.error()));

  std::vector<InventoryRow> rows;
  std::unordered_map<std::string, std::size_t> host_lines;
  for (std::size_t i = 1; i < records->size(); ++i) {
    auto row = read_row((*records)[i], *header, places, use);
    if (!row) return std::unexpected(std::move(row.error()));
    const auto [earlier, first] = host_lines.emplace(row->host, row->line);
    if (!first) {
      return std::unexpected(places.at(
          row->line, "host", row->host + " is also on line " + std::to_string(earlier->second)));
    }
    if (use == InventoryUse::Plan) {
      if (auto judged = judge(*row, *catalog, exact_firmware, places); !judged) {
        return std::unexpected(std::move(judged.error()));
      }
    }
    rows.push_back(std::move(*row));
  }
  return rows;
}

Json inventory_row_json(const InventoryRow& row) {
  Json values = Json::object();
  for (const auto& [name, value] : row.values.items()) values[name] = value;
  return {{"line", row.line},
          {"host", row.host},
          {"vendor", row.vendor},
          {"firmware", row.firmware},
          {"values", std::move(values)}};
}

std::expected<TableAnswer, Failure> answer_row_table(const Catalog& catalog,
                                                     const InventoryRow& row, std::string_view name,
                                                     std::span<const CommandType> types,
                                                     bool exact_firmware) {
  auto answer = answer_table(catalog, row.vendor, row.firmware, exact_firmware, row.values, types);
  if (answer) return answer;
  const Failure& failure = answer.error();
  std::string message = failure.message;
  if (failure.kind == FailureKind::MissingValue) {
    message += failure.names.size() == 1 ? " (give it in a column of that name)"
                                         : " (give each in a column of that name)";
  }
  return std::unexpected(Places(name).at(row.line, message));
}

}  // namespace ov
