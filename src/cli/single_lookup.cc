#include "cli/single_lookup.h"

#include <CLI/CLI.hpp>

#include "catalog/command_type.h"
#include "cli/outcome_table.h"
#include "cli/output.h"
#include "cli/placeholders.h"
#include "cli/user_names.h"

namespace ov::cli {

void add_lookup_arguments(CLI::App& app, LookupArguments& arguments, std::string json_help) {
  app.add_option("VENDOR", arguments.vendor, "vendor identifier or alias, such as cisco_ios")
      ->required();
  app.add_option("FIRMWARE", arguments.firmware, "firmware version, such as 16.12.4")->required();
  app.add_option("COMMAND", arguments.command, "command type, such as MAC_TABLE")->required();
  add_catalog_options(app, arguments.source);
  add_exact_firmware_flag(app, arguments.exact_firmware);
  add_set_option(app, arguments.sets);
  app.add_flag("--json", arguments.json, std::move(json_help));
}

Exit answer_lookup(const LookupArguments& arguments,
                   const std::function<Exit(const LookupAnswer&)>& print) {
  // The command type is checked first, as Catalog.cli does, so a misspelt
  // name is reported whatever the vendor or the directory.
  const auto command = find_command_type(arguments.command);
  if (!command) {
    return fail(Exit::Usage, unknown_command_name_message(arguments.command) +
                                 command_type_suggestion(arguments.command));
  }
  const auto settings = Settings::parse(arguments.sets);
  if (!settings) return fail(Exit::Usage, settings.error());
  const auto catalog = load_catalog(arguments.source);
  if (!catalog) return fail(Exit::Fault, catalog.error());
  const LookupKey key =
      lookup_key(*catalog, arguments.vendor, arguments.firmware, arguments.exact_firmware);
  const LookupOutcome outcome = classify_lookup(*catalog, key.vendor, key.firmware, *command);
  if (outcome.status == LookupStatus::UnknownVendor) {
    return fail(Exit::Usage, outcome.reason + vendor_suggestion(*catalog, arguments.vendor));
  }
  if (outcome.status == LookupStatus::InvalidFirmware) return fail(Exit::Usage, outcome.reason);

  std::string cli(outcome.status == LookupStatus::Text ? outcome.text() : "");
  if (!settings->empty() && outcome.status == LookupStatus::Text) {
    auto filled = settings->fill(cli);
    if (!filled) return fail(Exit::Usage, missing_placeholders_message(filled.error()));
    cli = std::move(*filled);
  }
  const LookupRequest request{key.vendor, arguments.firmware, key.firmware, *command};
  return print({request, outcome, cli});
}

Exit lookup_exit(const LookupAnswer& answer, bool json) {
  const Exit status = info(answer.outcome.status).exit;
  if (status == Exit::Ok || json) return status;
  return fail(status, answer.outcome.reason);
}

}  // namespace ov::cli
