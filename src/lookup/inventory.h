// An inventory: a CSV file of devices, one row each, with a host column and,
// as the use needs them, the vendor and firmware as users have them; any
// other column named like a placeholder gives that row's values.
//
// Every refusal is a usage error that names the place, "NAME:LINE: ..." and,
// for a cell, "NAME:LINE: column firmware: ...": a quote left open, text
// after a closing quote, a row with more cells than the header, a header name
// given twice, a missing column the use needs ("NAME:1: no host column"), an
// empty cell of one, a host that is not one host, a host on two rows, a cell
// with a control character. Columns of other names are ignored, never warned
// about.
#pragma once

#include <cstddef>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/json.h"
#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "lookup/every_type.h"
#include "lookup/placeholders.h"

namespace ov {

// Probe: the host column is needed, the vendor column is echoed as given.
// Plan: host, vendor and firmware are needed, and each row's vendor and
// firmware must read as lookup reads them.
enum class InventoryUse { Probe, Plan };

struct InventoryRow {
  std::size_t line;      // where the row starts, 1-based
  std::string host;      // as given: one host, no network or range
  std::string vendor;    // Plan: the catalog's identifier (aliases resolved); Probe: as given
  std::string firmware;  // as given
  Settings values;       // the non-empty cells of the columns named like placeholders
};

// The rows of the inventory `text`, in its order; `name` (a file name,
// "stdin") starts every message. For Plan, `catalog` judges each row's vendor
// and firmware (exact_firmware as lookup has it), all before any row is used.
std::expected<std::vector<InventoryRow>, Failure> read_inventory(std::string_view text,
                                                                 std::string_view name,
                                                                 InventoryUse use,
                                                                 const Catalog* catalog,
                                                                 bool exact_firmware);

// {"line", "host", "vendor", "firmware", "values": {name: value, ...}}.
Json inventory_row_json(const InventoryRow& row);

// The table of a row read for Plan, as answer_table gives it for the row's
// vendor, firmware and values and the command types `types`. A row with any
// value must give one to every placeholder of those texts, as --set must:
// "NAME:LINE: no value for {interface} (give it in a column of that name)".
std::expected<TableAnswer, Failure> answer_row_table(const Catalog& catalog,
                                                     const InventoryRow& row, std::string_view name,
                                                     std::span<const CommandType> types,
                                                     bool exact_firmware);

}  // namespace ov
