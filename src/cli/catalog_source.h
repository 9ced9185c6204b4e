// The catalog a subcommand reads: the compiled-in vendor files, every
// `*.yaml` file of the directory given with --dir instead, or the compiled-in
// files with those of --extra-dir loaded over them.
#pragma once

#include <expected>
#include <optional>
#include <string>

#include "base/failure.h"
#include "catalog/catalog.h"

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

// The catalog, or why it could not be read (an I/O error names its path).
std::expected<Catalog, Failure> load_catalog(const CatalogSource& source);

}  // namespace ov::cli
