// vantrel table VENDOR FIRMWARE [--dir DIR | --extra-dir DIR] [--exact-firmware]
//               [--set NAME=VALUE]... [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/common_options.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "lookup/entry_document.h"
#include "lookup/every_type.h"

namespace ov::cli {
namespace {

struct TableOptions {
  std::string vendor;
  std::string firmware;
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
    std::string line(kCommandTypes[i].yaml);
    line.resize(kNameColumn, ' ');
    if (answer.outcomes[i].status != LookupStatus::Text) line += "(none) ";
    line += under_text_column(answer.texts[i]);
    write_line(line);
  }
}

Exit run_table(const TableOptions& options) {
  const auto settings = read_settings(options.sets);
  if (!settings) return fail(settings.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  const auto answer =
      answer_table(*catalog, options.vendor, options.firmware, options.exact_firmware, *settings);
  if (!answer) return fail(answer.error());
  warn_unused_settings(answer->unused_settings, UnusedScope::Table);
  if (options.json) {
    write_line(json_text(table_document(*answer), 2));
  } else {
    print_table(*answer);
  }
  if (answer->malformed == 0) return Exit::Ok;
  // Under --json the rows said it already.
  return options.json ? Exit::Fault : fail(Exit::Fault, malformed_ranges_message(answer->malformed));
}

void wire_table(CLI::App& app, TableOptions& options) {
  app.add_option("VENDOR", options.vendor, "vendor identifier, such as arista_eos")->required();
  app.add_option("FIRMWARE", options.firmware, "firmware version, such as 4.22.1F")->required();
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  add_set_option(app, options.sets);
  app.add_flag("--json", options.json,
               "one JSON document: vendor, firmware, firmware_used and commands, each\n"
               "with type, status (text, no_block, no_entry, not_supported,\n"
               "invalid_range), cli and reason; a failure is {\"error\": ...}");
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the table was printed"},
    {Exit::Usage,
     "usage error, unknown vendor, invalid firmware version, a placeholder\n"
     "without a value while --set is given"},
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
      std::string("Rows come in the order of the 25 command types. A row without text shows\n"
                  "(none) and the reason.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<TableOptions>(app, wire_table, run_table);
}

}  // namespace ov::cli
