#include "catalog/loader.h"

#include <utility>

#include "catalog/bundled.h"
#include "catalog/directory.h"
#include "catalog/node_collector.h"
#include "catalog/reading_messages.h"
#include "catalog/record_walker.h"
#include "catalog/text_file.h"
#include "catalog/yaml_parser.h"

namespace ov {
namespace {

CatalogError parse_error(std::string file, YamlError error) {
  return CatalogError{catalog_error::Parse{std::move(file), std::move(error)}};
}

}  // namespace

// One document, read lazily: a rule violation within the part the parser
// delivered wins over a syntax error further on.
std::expected<VendorFile, YamlError> parse_vendor_file(std::string_view text) {
  YamlParser parser(text);
  const NodeTree tree = collect_first_document(parser, text.size());
  auto file = read_vendor_file(tree);
  if (!file) return std::unexpected(file.error());
  if (tree.stop) return std::unexpected(*tree.stop);
  if (!tree.stream_ended && has_further_document(parser)) {
    return std::unexpected(YamlError::rule(std::string(kMoreThanOneDocument)));
  }
  return file;
}

std::expected<Catalog, CatalogError> load_bundled() {
  Catalog catalog;
  for (const BundledFile& bundled : bundled_files()) {
    auto file = parse_vendor_file(bundled.text);
    if (!file) return std::unexpected(parse_error(std::string(bundled.name), file.error()));
    catalog.insert(std::move(*file));
  }
  return catalog;
}

std::expected<Catalog, CatalogError> load_dir(std::string_view path) {
  const auto files = list_vendor_files(path);
  if (!files) return std::unexpected(io_error(files.error(), path));
  Catalog catalog;
  for (const VendorFilePath& entry : *files) {
    const auto text = read_text_file(entry.path);
    if (!text) return std::unexpected(io_error(text.error(), entry.path));
    auto file = parse_vendor_file(*text);
    if (!file) return std::unexpected(parse_error(entry.name, file.error()));
    catalog.insert(std::move(*file));
  }
  return catalog;
}

}  // namespace ov
