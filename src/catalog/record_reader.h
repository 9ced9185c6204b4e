// Reads a collected YAML document as a vendor file by the reading rules.
#pragma once

#include <expected>

#include "catalog/catalog_error.h"
#include "catalog/node_tree.h"
#include "catalog/records.h"

namespace ov {

// Reads the root node of `tree` as a VendorFile. Returns the first rule
// violation met, or the tree's stop error when reading needs a node that the
// parser never delivered. Does not look at `tree.stop` otherwise.
std::expected<VendorFile, YamlError> read_vendor_file(const NodeTree& tree);

}  // namespace ov
