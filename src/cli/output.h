// Where the tool's words go: results on stdout, one-line errors on stderr.
#pragma once

#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/json.h"
#include "cli/exit_status.h"

namespace ov::cli {

// Appends `text` to stdout. A failure shows at finish().
void write_out(std::string_view text);

// `text` on stdout followed by a line break unless it already ends with one.
void write_line(std::string_view text);

// Prints "vantrel: " + message on stderr, on one line, and returns `status`.
// Once failures_as_json() was called, writes instead the error document
// {"error": {"message": ..., "exit_status": N}} on one line of stdout, with
// the message whole.
Exit fail(Exit status, std::string_view message);

// A refusal of the rooms below, mapped to its status: Usage and MissingValue
// (with how to give the values) exit 2, Catalog 3. `context` (such as
// "--timeout: ") goes before the message.
Exit fail(const Failure& failure, std::string_view context = {});

// Prints "vantrel: warning: " + message on stderr, on one line, under --json
// too: a warning changes neither the document nor the exit status.
void warn(std::string_view message);

// For --json: from now on a failure is a JSON document on stdout.
void failures_as_json();

// Flushes stdout. Returns `status`, or Fault (with a message on stderr) when
// anything written to stdout was lost: a full disk must not pass for success.
Exit finish(Exit status);

// One JSON value on one line. Text that is not UTF-8 (a host name as typed)
// is shown with replacement characters rather than failing.
std::string json_text(const Json& value, int indent = -1);

}  // namespace ov::cli
