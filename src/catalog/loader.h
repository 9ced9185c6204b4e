// Turning vendor files into a catalog: one text, the compiled-in table, or
// every `*.yaml` file of a directory. Loading is all or nothing.
#pragma once

#include <expected>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/catalog_error.h"
#include "catalog/records.h"

namespace ov {

// Reads one YAML text as a vendor file. Pure; the text is not retained.
std::expected<VendorFile, YamlError> parse_vendor_file(std::string_view text);

// Parses the compiled-in files in table order. Fails only with Parse.
std::expected<Catalog, CatalogError> load_bundled();

// Parses every regular `*.yaml` file of directory `path`, taken in byte order
// of file name. Fails with Io or Parse.
std::expected<Catalog, CatalogError> load_dir(std::string_view path);

}  // namespace ov
