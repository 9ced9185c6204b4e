#include "cli/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ov::cli {
namespace {

bool json_failures = false;

}  // namespace

void failures_as_json() { json_failures = true; }

void write_out(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void write_line(std::string_view text) {
  write_out(text);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
}

namespace {

// "vantrel: " + message on stderr, on one line whatever the message: the line
// breaks of a reason kept from a vendor file's literal block become blanks,
// and none is left at the end.
void write_error_line(std::string_view message) {
  std::string line = "vantrel: ";
  bool pending_blank = false;
  for (const char c : message) {
    if (c == '\n' || c == '\r') {
      pending_blank = true;
      continue;
    }
    if (pending_blank) line += ' ';
    pending_blank = false;
    line += c;
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

void warn(std::string_view message) { write_error_line("warning: " + std::string(message)); }

Exit fail(Exit status, std::string_view message) {
  if (json_failures) {
    const Json error{{"message", message}, {"exit_status", code(status)}};
    write_line(json_text({{"error", error}}));
  } else {
    write_error_line(message);
  }
  return status;
}

Exit fail(const Failure& failure, std::string_view context) {
  std::string message = std::string(context) + failure.message;
  switch (failure.kind) {
    case FailureKind::Usage:
      return fail(Exit::Usage, message);
    case FailureKind::MissingValue:
      message += failure.names.size() == 1 ? " (give it with --set NAME=VALUE)"
                                           : " (give each with --set NAME=VALUE)";
      return fail(Exit::Usage, message);
    case FailureKind::Catalog:
      return fail(Exit::Fault, message);
  }
  return fail(Exit::Fault, message);
}

Exit finish(Exit status) {
  // Said on stderr even under --json: stdout is what failed.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    write_error_line(std::string("cannot write the output: ") + std::strerror(error));
    return Exit::Fault;
  }
  return status;
}

std::string json_text(const Json& value, int indent) {
  return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

std::string exit_status_help(std::span<const ExitMeaning> rows) {
  std::string out = "Exit status:";
  for (const ExitMeaning& row : rows) {
    out += "\n  " + std::to_string(code(row.status)) + "  ";
    for (const char c : row.meaning) {
      out += c;
      if (c == '\n') out += "     ";
    }
  }
  return out;
}

}  // namespace ov::cli
