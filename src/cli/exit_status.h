// The exit statuses every subcommand shares, and the one text that explains
// them in `--help`.
#pragma once

#include <string_view>

namespace ov::cli {

enum class Exit : int {
  Ok = 0,        // the answer was given
  Negative = 1,  // the catalog has no text for the request, or `check` found problems
  Usage = 2,     // bad arguments, or a vendor, firmware or command type the catalog cannot read
  Fault = 3,     // the catalog could not be read or holds a malformed range; output failed
};

constexpr int code(Exit status) { return static_cast<int>(status); }

inline constexpr std::string_view kExitStatusHelp =
    "Exit status:\n"
    "  0  the answer was given (for check: the directory is clean)\n"
    "  1  no text for the request: no block, no entry or not supported\n"
    "     (for check: problems were found)\n"
    "  2  usage error, unknown vendor or command type, invalid firmware version\n"
    "  3  the catalog could not be read (I/O or parse error), an applies_to does\n"
    "     not parse, or the output could not be written";

}  // namespace ov::cli
