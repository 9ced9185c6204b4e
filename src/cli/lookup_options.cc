#include "cli/lookup_options.h"

#include <CLI/CLI.hpp>
#include <array>

#include "base/enum_table.h"
#include "cli/common_options.h"
#include "cli/output.h"

namespace ov::cli {
namespace {

struct OutcomeExit {
  LookupStatus status;
  Exit exit;
};

// Indexed by LookupStatus. The two refusals never reach an outcome here.
constexpr std::array<OutcomeExit, 7> kOutcomeExits{{
    {LookupStatus::Text, Exit::Ok},
    {LookupStatus::NoBlock, Exit::Negative},
    {LookupStatus::NoEntry, Exit::Negative},
    {LookupStatus::NotSupported, Exit::Negative},
    {LookupStatus::UnknownVendor, Exit::Usage},
    {LookupStatus::InvalidFirmware, Exit::Usage},
    {LookupStatus::InvalidRange, Exit::Fault},
}};
static_assert(indexed_by_enum(kOutcomeExits, &OutcomeExit::status));

}  // namespace

void add_lookup_options(CLI::App& app, LookupOptions& options, std::string json_help) {
  app.add_option("VENDOR", options.vendor, "vendor identifier or alias, such as cisco_ios")
      ->required();
  app.add_option("FIRMWARE", options.firmware, "firmware version, such as 16.12.4")->required();
  app.add_option("COMMAND", options.command, "command type, such as MAC_TABLE")->required();
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  add_set_option(app, options.sets);
  app.add_flag("--json", options.json, std::move(json_help));
}

Exit answer_lookup_options(const LookupOptions& options,
                           const std::function<Exit(const LookupAnswer&)>& print) {
  // A misspelt command type is reported whatever the vendor or the directory.
  if (!find_command_type(options.command)) return fail(unknown_command_type(options.command));
  const auto settings = read_settings(options.sets);
  if (!settings) return fail(settings.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  const LookupQuery query{options.vendor, options.firmware, options.command,
                          options.exact_firmware};
  const auto answer = answer_lookup(*catalog, query, *settings);
  if (!answer) return fail(answer.error());
  warn_unused_settings(answer->unused_settings, UnusedScope::Text);
  return print(*answer);
}

Exit outcome_exit(const LookupOutcome& outcome, bool json) {
  const Exit status = kOutcomeExits[static_cast<std::size_t>(outcome.status)].exit;
  if (status == Exit::Ok || json) return status;
  return fail(status, outcome.reason);
}

}  // namespace ov::cli
