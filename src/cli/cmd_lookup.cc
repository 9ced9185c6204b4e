// vantrel lookup VENDOR FIRMWARE COMMAND [--dir DIR] [--exact-firmware]
#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/outcome_table.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "cli/user_names.h"

namespace ov::cli {
namespace {

struct LookupOptions {
  std::string vendor;
  std::string firmware;
  std::string command;
  std::optional<std::string> dir;
  bool exact_firmware = false;
};

Exit run_lookup(const LookupOptions& options) {
  // The command type is checked first, as Catalog.cli does, so a misspelt
  // name is reported whatever the vendor or the directory.
  const auto command = find_command_type(options.command);
  if (!command) {
    return fail(Exit::Usage, unknown_command_name_message(options.command) +
                                 command_type_suggestion(options.command));
  }
  const auto catalog = load_catalog(options.dir);
  if (!catalog) return fail(Exit::Fault, catalog.error().message());
  const LookupKey key =
      lookup_key(*catalog, options.vendor, options.firmware, options.exact_firmware);
  const LookupOutcome result = classify_lookup(*catalog, key.vendor, key.firmware, *command);
  if (result.status == LookupStatus::UnknownVendor) {
    return fail(Exit::Usage, result.reason + vendor_suggestion(*catalog, options.vendor));
  }
  if (result.status != LookupStatus::Text) return fail(info(result.status).exit, result.reason);
  write_line(result.entry->cli);
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "the text was printed"},
    {Exit::Negative,
     "no text: the vendor has no block of that type, no entry covers the\n"
     "firmware, or the chosen entry is NOT_SUPPORTED"},
    {Exit::Usage, "usage error, unknown command type or vendor, invalid firmware version"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to of the block does not\n"
     "parse, or the output could not be written"},
}};

}  // namespace

Subcommand add_lookup(CLI::App& root) {
  auto options = std::make_shared<LookupOptions>();
  CLI::App* app = root.add_subcommand(
      "lookup", "Print the text the catalog prescribes for a command on a vendor's firmware.");
  app->add_option("VENDOR", options->vendor, "vendor identifier, such as cisco_ios")->required();
  app->add_option("FIRMWARE", options->firmware, "firmware version, such as 16.12.4")->required();
  app->add_option("COMMAND", options->command, "command type, such as MAC_TABLE")->required();
  add_dir_option(*app, options->dir);
  add_exact_firmware_flag(*app, options->exact_firmware);
  app->footer(
      std::string("Prints the stored text unchanged, placeholders such as {interface} included,\n"
                  "and ends it with a line break unless it has one. Errors go to stderr.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_lookup(*options); }};
}

}  // namespace ov::cli
