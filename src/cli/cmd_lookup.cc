// vantrel lookup VENDOR FIRMWARE COMMAND [--dir DIR | --extra-dir DIR]
//                [--exact-firmware] [--set NAME=VALUE]... [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <string>

#include "cli/output.h"
#include "cli/single_lookup.h"
#include "cli/subcommand.h"

namespace ov::cli {
namespace {

Exit print_lookup(const LookupArguments& arguments, const LookupAnswer& answer) {
  if (arguments.json) {
    write_line(json_text(lookup_json(answer.request, answer.outcome, answer.cli)));
  } else if (answer.outcome.status == LookupStatus::Text) {
    write_line(answer.cli);
  }
  return lookup_exit(answer, arguments.json);
}

Exit run_lookup_command(const LookupArguments& arguments) {
  return answer_lookup(arguments,
                       [&](const LookupAnswer& answer) { return print_lookup(arguments, answer); });
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

Subcommand add_lookup(CLI::App& root) {
  auto arguments = std::make_shared<LookupArguments>();
  CLI::App* app = root.add_subcommand(
      "lookup", "Print the text the catalog prescribes for a command on a vendor's firmware.");
  add_lookup_arguments(*app, *arguments,
                       "one JSON object: vendor, firmware, firmware_used, command, status,\n"
                       "applies_to, cli and placeholders; a failure is {\"error\": ...}");
  app->footer(
      std::string("Prints the stored text, placeholders such as {interface} included unless\n"
                  "--set fills them, and ends it with a line break unless it has one. Errors\n"
                  "go to stderr.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [arguments] { return run_lookup_command(*arguments); }};
}

}  // namespace ov::cli
