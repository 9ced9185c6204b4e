#include "cli/catalog_source.h"

#include <CLI/CLI.hpp>

#include "catalog/loader.h"

namespace ov::cli {

void add_dir_option(CLI::App& app, std::optional<std::string>& dir) {
  app.add_option("--dir", dir, "read every *.yaml file of DIR instead of the compiled-in files")
      ->type_name("DIR");
}

std::expected<Catalog, CatalogError> load_catalog(const std::optional<std::string>& dir) {
  return dir ? load_dir(*dir) : load_bundled();
}

}  // namespace ov::cli
