// The catalog a subcommand reads: the compiled-in vendor files, every
// `*.yaml` file of the directory given with --dir instead, or the compiled-in
// files with those of --extra-dir loaded over them.
#pragma once

#include <expected>
#include <optional>
#include <string>

#include "catalog/catalog.h"
#include "catalog/catalog_error.h"

namespace CLI {
class App;
}

namespace ov::cli {

struct CatalogSource {
  std::optional<std::string> dir;
  std::optional<std::string> extra_dir;
};

// The --dir and --extra-dir options; one excludes the other.
void add_catalog_options(CLI::App& app, CatalogSource& source);

// The catalog, or the one-line message of why it could not be read.
std::expected<Catalog, std::string> load_catalog(const CatalogSource& source);

// error.message(), naming the directory or file an I/O error concerns.
std::string catalog_failure(const CatalogError& error);

}  // namespace ov::cli
