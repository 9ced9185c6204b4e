// vantrel vendors [--dir DIR]
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "cli/catalog_source.h"
#include "cli/output.h"
#include "cli/subcommand.h"

namespace ov::cli {

Subcommand add_vendors(CLI::App& root) {
  auto dir = std::make_shared<std::optional<std::string>>();
  CLI::App* app = root.add_subcommand(
      "vendors", "List the vendor identifiers of the catalog, one a line, in catalog order.");
  add_dir_option(*app, *dir);
  app->footer(
      "Exit status:\n"
      "  0  the vendors were listed (none for a directory without vendor files)\n"
      "  2  usage error\n"
      "  3  the catalog could not be read, or the output could not be written");
  return {app, [dir] {
            const auto catalog = load_catalog(*dir);
            if (!catalog) return fail(Exit::Fault, catalog.error().message());
            for (const VendorFile& file : catalog->files()) write_line(file.vendor);
            return Exit::Ok;
          }};
}

}  // namespace ov::cli
