// Files that options name, "-" standing for standard input.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace ov::cli {

// The text of `file`, or of standard input for "-"; a file that cannot be
// read is refused (Usage) as "OPTION: FILE: reason".
std::expected<std::string, Failure> read_input(const std::string& file, std::string_view option);

// How messages name `file`: "stdin" for "-".
std::string_view input_name(const std::string& file);

}  // namespace ov::cli
