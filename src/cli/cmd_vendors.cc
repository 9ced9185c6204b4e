// vantrel vendors [--dir DIR] [--aliases]
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

// The alias table: "ALIAS  VENDOR", the vendors in a column.
Exit print_aliases() {
  std::size_t width = 0;
  for (const VendorAlias& row : kVendorAliases) width = std::max(width, row.alias.size());
  for (const VendorAlias& row : kVendorAliases) {
    std::string line(row.alias);
    line.resize(width + 2, ' ');
    write_line(line.append(row.vendor));
  }
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the vendors were listed (none for a directory without vendor files)"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the catalog could not be read, or the output could not be written"},
}};

}  // namespace

Subcommand add_vendors(CLI::App& root) {
  auto dir = std::make_shared<std::optional<std::string>>();
  auto aliases = std::make_shared<bool>(false);
  CLI::App* app = root.add_subcommand(
      "vendors", "List the vendor identifiers of the catalog, one a line, in catalog order.");
  add_dir_option(*app, *dir);
  app->add_flag("--aliases", *aliases,
                "list instead the other names that lookup and table take for a vendor\n"
                "(an alias never hides a vendor of its own name in the catalog)");
  app->footer(exit_status_help(kExits));
  return {app, [dir, aliases] {
            if (*aliases) return print_aliases();
            const auto catalog = load_catalog(*dir);
            if (!catalog) return fail(Exit::Fault, catalog.error().message());
            for (const VendorFile& file : catalog->files()) write_line(file.vendor);
            return Exit::Ok;
          }};
}

}  // namespace ov::cli
