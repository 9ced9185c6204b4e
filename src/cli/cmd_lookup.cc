// vantrel lookup VENDOR FIRMWARE COMMAND [--dir DIR | --extra-dir DIR]
//                [--exact-firmware] [--set NAME=VALUE]... [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <string>

#include "cli/lookup_options.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "lookup/entry_document.h"

namespace ov::cli {
namespace {

Exit run_lookup(const LookupOptions& options) {
  return answer_lookup_options(options, [&](const LookupAnswer& answer) {
    if (options.json) {
      write_line(json_text(lookup_document(answer)));
    } else if (answer.outcome.status == LookupStatus::Text) {
      write_line(answer.cli);
    }
    return outcome_exit(answer.outcome, options.json);
  });
}

void wire_lookup(CLI::App& app, LookupOptions& options) {
  add_lookup_options(app, options,
                     "one JSON object: vendor, firmware, firmware_used, command, status,\n"
                     "applies_to, cli, placeholders and reason; a failure is {\"error\": ...}");
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "the text was printed"},
    {Exit::Negative,
     "no text: the vendor has no block of that type, no entry covers the\n"
     "firmware, or the chosen entry is NOT_SUPPORTED"},
    {Exit::Usage,
     "usage error, unknown command type or vendor, invalid firmware version,\n"
     "a placeholder without a value while --set is given"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to of the block does not\n"
     "parse, or the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_lookup(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "lookup", "Print the text the catalog prescribes for a command on a vendor's firmware.");
  app->footer(
      std::string("Prints the stored text, placeholders such as {interface} included unless\n"
                  "--set fills them, and ends it with a line break unless it has one. Errors\n"
                  "go to stderr.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<LookupOptions>(app, wire_lookup, run_lookup);
}

}  // namespace ov::cli
