#include "cli/inventory_option.h"

#include <CLI/CLI.hpp>

#include "cli/input_file.h"

namespace ov::cli {

CLI::Option* add_inventory_option(CLI::App& app, std::optional<std::string>& file,
                                  const std::string& help) {
  return app.add_option("--inventory", file, help)->type_name("FILE");
}

std::expected<Inventory, Failure> read_inventory_file(const std::string& file, InventoryUse use,
                                                      const Catalog* catalog, bool exact_firmware) {
  const auto text = read_input(file, "--inventory");
  if (!text) return std::unexpected(text.error());
  Inventory inventory{std::string(input_name(file)), {}};
  auto rows = read_inventory(*text, inventory.name, use, catalog, exact_firmware);
  if (!rows) return std::unexpected(std::move(rows.error()));
  inventory.rows = std::move(*rows);
  return inventory;
}

}  // namespace ov::cli
