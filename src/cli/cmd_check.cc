// vantrel check DIR [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <string>

#include "check/lint.h"
#include "check/report_document.h"
#include "cli/output.h"
#include "cli/subcommand.h"

namespace ov::cli {
namespace {

using check::CheckReport;
using check::Finding;
using check::Severity;

struct CheckOptions {
  std::string dir;
  bool json = false;
};

std::string plural(std::size_t n, std::string_view word) {
  return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

void print_text(const CheckOptions& options, const CheckReport& report,
                const check::Counts& counts) {
  for (const Finding& f : report.findings) {
    const std::string& where = f.file.empty() ? options.dir : f.file;
    write_line(where + ": " + std::string(check::severity_name(check::severity(f))) + ": " +
               f.text);
  }
  write_line("checked " + plural(report.files.size(), "file") + ": " +
             plural(counts.errors, "error") + ", " + plural(counts.warnings, "warning"));
}

Exit run_check(const CheckOptions& options) {
  const auto report = check::check_directory(options.dir);
  if (!report) return fail(Exit::Fault, report.error().located_message());
  if (options.json) {
    write_line(json_text(check::report_document(options.dir, *report), 2));
  } else {
    print_text(options, *report, check::count(*report));
  }
  return report->findings.empty() ? Exit::Ok : Exit::Negative;
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "clean: no error and no warning"},
    {Exit::Negative, "errors or warnings were found"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the directory cannot be listed, or the output could not be written"},
}};

void wire_check(CLI::App& app, CheckOptions& options) {
  app.add_option("DIR", options.dir, "directory of *.yaml vendor files")->required();
  app.add_flag("--json", options.json,
               "one JSON document: directory, files, errors, warnings and findings, each\n"
               "with file, severity, kind, path, line, column (one-based) and message");
}

}  // namespace

std::unique_ptr<Subcommand> add_check(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "check", "Check a directory of vendor files for their authors, every file and every entry.");
  app->footer(
      std::string("Reads the files as a load does (in byte order of their names) but goes on\n"
                  "after a bad one. Errors: a file that cannot be read, is not YAML or is not a\n"
                  "vendor file (with path, line and column), an applies_to that does not parse\n"
                  "(a load accepts it; every lookup of its block fails). Warnings: a command\n"
                  "type without a block, a type with a second block (never consulted), a vendor\n"
                  "that a later file declares again (it replaces the earlier one), a cli that\n"
                  "looks like NOT_SUPPORTED but is not exactly it, an entry whose range an\n"
                  "earlier entry of its block has (never chosen), a directory without files,\n"
                  "a file left unread for a name meant as *.yaml (x.yml, X.YAML, \"x.yaml \").") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<CheckOptions>(app, wire_check, run_check);
}

}  // namespace ov::cli
