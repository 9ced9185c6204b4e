// vantrel vendors [--dir DIR]
#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "cli/catalog_source.h"
#include "cli/output.h"
#include "cli/subcommand.h"

namespace ov::cli {

namespace {

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the vendors were listed (none for a directory without vendor files)"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the catalog could not be read, or the output could not be written"},
}};

}  // namespace

Subcommand add_vendors(CLI::App& root) {
  auto dir = std::make_shared<std::optional<std::string>>();
  CLI::App* app = root.add_subcommand(
      "vendors", "List the vendor identifiers of the catalog, one a line, in catalog order.");
  add_dir_option(*app, *dir);
  app->footer(exit_status_help(kExits));
  return {app, [dir] {
            const auto catalog = load_catalog(*dir);
            if (!catalog) return fail(Exit::Fault, catalog.error().message());
            for (const VendorFile& file : catalog->files()) write_line(file.vendor);
            return Exit::Ok;
          }};
}

}  // namespace ov::cli
