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

}  // namespace ov
