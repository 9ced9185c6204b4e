// vantrel table VENDOR FIRMWARE [--dir DIR | --extra-dir DIR] [--exact-firmware]
//               [--set NAME=VALUE]... [--command TYPE]... [--json]
// vantrel table --inventory FILE [--dir DIR | --extra-dir DIR] [--exact-firmware]
//               [--command TYPE]... [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/common_options.h"
#include "cli/inventory_option.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "lookup/entry_document.h"
#include "lookup/every_type.h"

namespace ov::cli {
namespace {

struct TableOptions {
  std::optional<std::string> vendor;
  std::optional<std::string> firmware;
  std::optional<std::string> inventory;
  std::vector<std::string> commands;  // --command: the types to show, all for none
  CatalogSource source;
  bool exact_firmware = false;
  std::vector<std::string> sets;
  bool json = false;
};

// The text column: two blanks after the longest command type name.
constexpr std::size_t kNameColumn =
    std::ranges::max(kCommandTypes, {}, [](const CommandTypeName& n) { return n.yaml.size(); })
        .yaml.size() +
    2;

// `text` with every line after the first indented to the text column, and no
// final line break (a literal block keeps one).
std::string under_text_column(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  std::string out;
  for (const char c : text) {
    out += c;
    if (c == '\n') out.append(kNameColumn, ' ');
  }
  return out;
}

// Each row's text, its placeholders filled, or its reason.
void print_table(const TableAnswer& answer) {
  for (std::size_t i = 0; i < answer.outcomes.size(); ++i) {
    std::string line(yaml_name(answer.types[i]));
    line.resize(kNameColumn, ' ');
    if (answer.outcomes[i].status != LookupStatus::Text) line += "(none) ";
    line += under_text_column(answer.texts[i]);
    write_line(line);
  }
}

// Fault once the tables are out when an applies_to did not parse; under
// --json the rows said it already.
Exit table_exit(std::size_t malformed, bool json) {
  if (malformed == 0) return Exit::Ok;
  return json ? Exit::Fault : fail(Exit::Fault, malformed_ranges_message(malformed));
}

// One table per inventory row, all answered before the first is printed, so
// that a refused row leaves no output.
Exit run_inventory_tables(const TableOptions& options, std::span<const CommandType> types) {
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  const auto inventory = read_inventory_file(*options.inventory, InventoryUse::Plan, &*catalog,
                                             options.exact_firmware);
  if (!inventory) return fail(inventory.error());
  std::vector<TableAnswer> tables;
  for (const InventoryRow& row : inventory->rows) {
    auto answer = answer_row_table(*catalog, row, inventory->name, types, options.exact_firmware);
    if (!answer) return fail(answer.error());
    tables.push_back(std::move(*answer));
  }
  std::size_t malformed = 0;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const TableAnswer& table = tables[i];
    const std::string& host = inventory->rows[i].host;
    if (options.json) {
      Json document{{"host", host}};
      document.update(table_document(table));
      write_line(json_text(document));
    } else {
      write_line((i == 0 ? "" : "\n") + host + ": " + table.vendor + " " + table.firmware);
      print_table(table);
    }
    malformed = std::max(malformed, table.malformed);
  }
  return table_exit(malformed, options.json);
}

Exit run_table(const TableOptions& options) {
  // A misspelt command type is reported whatever the vendor or the directory.
  const auto types = select_command_types(options.commands);
  if (!types) return fail(types.error());
  if (options.inventory) return run_inventory_tables(options, *types);
  if (!options.vendor) return fail(Exit::Usage, "VENDOR is required (see --help)");
  if (!options.firmware) return fail(Exit::Usage, "FIRMWARE is required (see --help)");
  const auto settings = read_settings(options.sets);
  if (!settings) return fail(settings.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  const auto answer = answer_table(*catalog, *options.vendor, *options.firmware,
                                   options.exact_firmware, *settings, *types);
  if (!answer) return fail(answer.error());
  warn_unused_settings(answer->unused_settings, UnusedScope::Table);
  if (options.json) {
    write_line(json_text(table_document(*answer), 2));
  } else {
    print_table(*answer);
  }
  return table_exit(answer->malformed, options.json);
}

void wire_table(CLI::App& app, TableOptions& options) {
  CLI::Option* vendor =
      app.add_option("VENDOR", options.vendor, "vendor identifier or alias, such as arista_eos");
  CLI::Option* firmware =
      app.add_option("FIRMWARE", options.firmware, "firmware version, such as 4.22.1F");
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  add_set_option(app, options.sets);
  add_inventory_option(app, options.inventory,
                       "a table for each row of a CSV file (- for standard input): its host,\n"
                       "vendor and firmware columns, and columns named like placeholders\n"
                       "giving the row's values as --set does")
      ->excludes(vendor)
      ->excludes(firmware)
      ->excludes("--set");
  app.add_option("--command", options.commands,
                 "show only this command type, such as MAC_TABLE (repeatable)")
      ->type_name("TYPE")
      ->allow_extra_args(false);
  app.add_flag("--json", options.json,
               "one JSON document: vendor, firmware, firmware_used and commands, each\n"
               "with type, status (text, no_block, no_entry, not_supported,\n"
               "invalid_range), cli and reason; a failure is {\"error\": ...}. With\n"
               "--inventory, one object per row and line: host, then those keys");
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the table was printed"},
    {Exit::Usage,
     "usage error, unknown vendor or command type, invalid firmware version,\n"
     "a placeholder without a value while --set or the row gives any, an\n"
     "inventory row refused (nothing is printed then)"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to does not parse (the table\n"
     "is printed first), or the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_table(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "table",
      "Show every command type with its text for a vendor's firmware, or why there is none.");
  app->footer(
      std::string("Rows come in the order of the 25 command types (those of --command). A row\n"
                  "without text shows (none) and the reason. With --inventory, each table\n"
                  "follows a line HOST: VENDOR FIRMWARE, in the inventory's order.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<TableOptions>(app, wire_table, run_table);
}

}  // namespace ov::cli
