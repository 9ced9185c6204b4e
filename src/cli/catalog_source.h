// The catalog a subcommand reads: the compiled-in vendor files, or every
// `*.yaml` file of the directory given with --dir.
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

// The --dir option, naming the directory that replaces the compiled-in files.
void add_dir_option(CLI::App& app, std::optional<std::string>& dir);

std::expected<Catalog, CatalogError> load_catalog(const std::optional<std::string>& dir);

}  // namespace ov::cli
