// Listing the file names of one directory.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_error.h"

namespace ov {

// Returns the names of the entries of directory `path` ("." and ".."
// excluded), sorted in byte order so that the result does not depend on the
// file system. Fails with the system error of opening or listing.
std::expected<std::vector<std::string>, IoError> list_directory(std::string_view path);

// Returns true iff `name` has the extension "yaml": the part after its last
// ".", where that "." is not the name's first character.
bool has_yaml_extension(std::string_view name);

// `name` when it is UTF-8, else "?".
std::string display_file_name(std::string_view name);

// One vendor file of a directory: where to read it, and how messages name it.
struct VendorFilePath {
  std::string path;
  std::string name;
};

// Where the entry `name` of directory `dir` is read, and how messages name it.
VendorFilePath vendor_file_path(std::string_view dir, std::string_view name);

// The `*.yaml` entries of directory `dir`, in the byte order of their names,
// as a load reads them. Fails as list_directory does.
std::expected<std::vector<VendorFilePath>, IoError> list_vendor_files(std::string_view dir);

}  // namespace ov
