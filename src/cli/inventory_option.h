// --inventory FILE ("-" for standard input) and the rows it gives.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "catalog/catalog.h"
#include "lookup/inventory.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace ov::cli {

// Adds --inventory; `help` says what the rows are used for.
CLI::Option* add_inventory_option(CLI::App& app, std::optional<std::string>& file,
                                  const std::string& help);

struct Inventory {
  std::string name;  // as messages name the file: "stdin" for "-"
  std::vector<InventoryRow> rows;
};

// The rows of `file` for `use` (read_inventory); a file that cannot be read
// is refused naming it.
std::expected<Inventory, Failure> read_inventory_file(const std::string& file, InventoryUse use,
                                                      const Catalog* catalog, bool exact_firmware);

}  // namespace ov::cli
