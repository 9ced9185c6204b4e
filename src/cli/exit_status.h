// The exit statuses every subcommand shares, and how `--help` explains them.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace ov::cli {

enum class Exit : int {
  Ok = 0,        // the answer was given
  Negative = 1,  // the catalog has no text for the request, or `check` found problems
  Usage = 2,     // bad arguments, or a vendor, firmware or command type the catalog cannot read
  Fault = 3,     // the catalog could not be read or holds a malformed range; output failed
};

constexpr int code(Exit status) { return static_cast<int>(status); }

// What one exit status means for one command. A line break in `meaning`
// continues it on the next line, indented under the text.
struct ExitMeaning {
  Exit status;
  std::string_view meaning;
};

// The "Exit status:" section of a `--help`, one row a status.
std::string exit_status_help(std::span<const ExitMeaning> rows);

// What each status means for the tool as a whole.
inline constexpr std::array<ExitMeaning, 4> kExitStatuses{{
    {Exit::Ok, "the answer was given (for check: the directory is clean)"},
    {Exit::Negative,
     "no text for the request: no block, no entry or not supported\n"
     "(for check: problems were found)"},
    {Exit::Usage,
     "usage error, unknown vendor or command type, invalid firmware version,\n"
     "a placeholder without a value while --set is given"},
    {Exit::Fault,
     "the catalog could not be read (I/O or parse error), an applies_to does\n"
     "not parse, or the output could not be written"},
}};

}  // namespace ov::cli
