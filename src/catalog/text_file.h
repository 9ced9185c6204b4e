// Reading one vendor file of a directory whole, as UTF-8 text.
#pragma once

#include <expected>
#include <string>

#include "catalog/catalog_error.h"

namespace ov {

// Reads the regular file at `path` (symbolic links followed) and checks that
// it is UTF-8. Never blocks on a FIFO or device: a directory fails with
// EISDIR, any other non-regular file with "not a regular file", content
// that is not UTF-8 with "stream did not contain valid UTF-8".
std::expected<std::string, IoError> read_text_file(const std::string& path);

}  // namespace ov
