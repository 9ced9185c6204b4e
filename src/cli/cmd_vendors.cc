// vantrel vendors [--dir DIR | --extra-dir DIR] [--aliases] [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "cli/catalog_source.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "cli/user_names.h"

namespace ov::cli {

namespace {

struct VendorsOptions {
  CatalogSource source;
  bool aliases = false;
  bool json = false;
};

// The alias table: "ALIAS  VENDOR", the vendors in a column, or a JSON list
// of {"alias", "vendor"}.
Exit print_aliases(bool json) {
  if (json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const VendorAlias& row : kVendorAliases) {
      rows.push_back({{"alias", row.alias}, {"vendor", row.vendor}});
    }
    write_line(json_text(rows, 2));
    return Exit::Ok;
  }
  std::size_t width = 0;
  for (const VendorAlias& row : kVendorAliases) width = std::max(width, row.alias.size());
  for (const VendorAlias& row : kVendorAliases) {
    std::string line(row.alias);
    line.resize(width + 2, ' ');
    write_line(line.append(row.vendor));
  }
  return Exit::Ok;
}

Exit print_vendors(const VendorsOptions& options) {
  if (options.aliases) return print_aliases(options.json);
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(Exit::Fault, catalog.error());
  if (!options.json) {
    for (const VendorFile& file : catalog->files()) write_line(file.vendor);
    return Exit::Ok;
  }
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const VendorFile& file : catalog->files()) {
    rows.push_back({{"vendor", file.vendor},
                    {"display_name", file.display_name},
                    {"manufacturer", file.manufacturer},
                    {"product_family", file.product_family},
                    {"commands", file.commands.size()}});
  }
  write_line(json_text(rows, 2));
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the vendors were listed (none for a directory without vendor files)"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the catalog could not be read, or the output could not be written"},
}};

}  // namespace

Subcommand add_vendors(CLI::App& root) {
  auto options = std::make_shared<VendorsOptions>();
  CLI::App* app = root.add_subcommand(
      "vendors", "List the vendor identifiers of the catalog, one a line, in catalog order.");
  add_catalog_options(*app, options->source);
  app->add_flag("--aliases", options->aliases,
                "list instead the other names that lookup and table take for a vendor\n"
                "(an alias never hides a vendor of its own name in the catalog)");
  app->add_flag("--json", options->json,
                "a JSON list of vendor, display_name, manufacturer, product_family and\n"
                "commands (how many blocks); with --aliases, of alias and vendor");
  app->footer(exit_status_help(kExits));
  return {app, [options] { return print_vendors(*options); }};
}

}  // namespace ov::cli
