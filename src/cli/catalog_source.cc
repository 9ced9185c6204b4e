#include "cli/catalog_source.h"

#include <CLI/CLI.hpp>

#include "catalog/loader.h"

namespace ov::cli {
namespace {

Failure unreadable(const CatalogError& error) {
  return {FailureKind::Catalog, error.located_message(), {}};
}

}  // namespace

void add_catalog_options(CLI::App& app, CatalogSource& source) {
  CLI::Option* dir =
      app.add_option("--dir", source.dir,
                     "read every *.yaml file of DIR instead of the compiled-in files")
          ->type_name("DIR");
  app.add_option("--extra-dir", source.extra_dir,
                 "read the compiled-in files, then every *.yaml file of DIR; a file\n"
                 "whose vendor is already known replaces that vendor in its place")
      ->type_name("DIR")
      ->excludes(dir);
}

std::expected<Catalog, Failure> load_catalog(const CatalogSource& source) {
  if (source.dir) {
    auto catalog = load_dir(*source.dir);
    if (!catalog) return std::unexpected(unreadable(catalog.error()));
    return std::move(*catalog);
  }
  auto catalog = load_bundled();
  if (!catalog) return std::unexpected(unreadable(catalog.error()));
  if (source.extra_dir) {
    const auto extra = load_dir(*source.extra_dir);
    if (!extra) return std::unexpected(unreadable(extra.error()));
    for (const VendorFile& file : extra->files()) catalog->insert(file);
  }
  return std::move(*catalog);
}

}  // namespace ov::cli
