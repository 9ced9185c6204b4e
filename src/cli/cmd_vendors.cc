// vantrel vendors [--dir DIR | --extra-dir DIR] [--aliases] [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/catalog_source.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "lookup/user_names.h"
#include "reports/vendor_list.h"

namespace ov::cli {

namespace {

struct VendorsOptions {
  CatalogSource source;
  bool aliases = false;
  bool json = false;
};

// The aliases the catalog gives effect to: "ALIAS  VENDOR", the vendors in a
// column, or a JSON list of {"alias", "vendor"}.
Exit print_aliases(const Catalog& catalog, bool json) {
  if (json) {
    write_line(json_text(aliases_json(catalog), 2));
    return Exit::Ok;
  }
  const std::vector<VendorAlias> aliases = catalog_aliases(catalog);
  std::size_t width = 0;
  for (const VendorAlias& row : aliases) width = std::max(width, row.alias.size());
  for (const VendorAlias& row : aliases) {
    std::string line(row.alias);
    line.resize(width + 2, ' ');
    write_line(line.append(row.vendor));
  }
  return Exit::Ok;
}

Exit print_vendors(const VendorsOptions& options) {
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  if (options.aliases) return print_aliases(*catalog, options.json);
  if (!options.json) {
    for (const VendorFile& file : catalog->files()) write_line(file.vendor);
    return Exit::Ok;
  }
  write_line(json_text(vendors_json(*catalog), 2));
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the vendors were listed (none for a directory without vendor files)"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the catalog could not be read, or the output could not be written"},
}};

void wire_vendors(CLI::App& app, VendorsOptions& options) {
  add_catalog_options(app, options.source);
  app.add_flag("--aliases", options.aliases,
               "list instead the other names that lookup and table take for a vendor\n"
               "of the catalog (an alias never hides a vendor of its own name)");
  app.add_flag("--json", options.json,
               "a JSON list of vendor, display_name, manufacturer, product_family and\n"
               "commands (how many blocks); with --aliases, of alias and vendor");
}

}  // namespace

std::unique_ptr<Subcommand> add_vendors(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "vendors", "List the vendor identifiers of the catalog, one a line, in catalog order.");
  app->footer(exit_status_help(kExits));
  return make_subcommand<VendorsOptions>(app, wire_vendors, print_vendors);
}

}  // namespace ov::cli
