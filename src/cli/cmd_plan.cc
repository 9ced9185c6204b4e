// vantrel plan [HOST...] [-T FILE]... --vendor V --firmware F [--dir DIR | --extra-dir DIR]
//              [--exact-firmware] [-t S] [-j N] [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/common_options.h"
#include "cli/output.h"
#include "cli/probe_output.h"
#include "cli/subcommand.h"
#include "fleet/fleet_probe.h"
#include "lookup/every_type.h"
#include "lookup/plan.h"

namespace ov::cli {
namespace {

struct PlanOptions {
  TargetOptions targets;
  std::string vendor;
  std::string firmware;
  CatalogSource source;
  bool exact_firmware = false;
  ProbeSettings settings;
  bool json = false;
  bool summary = false;
};

// The type column: two blanks after the longest command type name.
constexpr std::size_t kTypeColumn =
    std::ranges::max(kCommandTypes, {}, [](const CommandTypeName& n) { return n.yaml.size(); })
        .yaml.size() +
    2;

// The probe's line, then one row per command type: its ways by name, or "-".
std::string plan_text(const probe::ProbeReport& report, const std::vector<PlanRow>& rows) {
  std::string out = report_text(report, {});
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string line(kCommandTypes[i].yaml);
    line.resize(kTypeColumn, ' ');
    std::string ways;
    for (const Way way : rows[i].ways) {
      if (!ways.empty()) ways += ", ";
      ways += kWayNames[static_cast<std::size_t>(way)];
    }
    out += "  " + line + (ways.empty() ? "-" : ways) + "\n";
  }
  return out;
}

Exit run_plan(const PlanOptions& options) {
  const auto timeout = read_timeout(options.settings);
  if (!timeout) return fail(timeout.error());
  auto hosts = gather_targets(options.targets);
  if (!hosts) return fail(hosts.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  // The catalog's answers are the same for every host: looked up once, and
  // any refusal of the vendor or firmware comes before the first probe.
  const auto answer =
      answer_table(*catalog, options.vendor, options.firmware, options.exact_firmware, {});
  if (!answer) return fail(answer.error());

  const std::size_t jobs = jobs_for(options.settings, hosts->size());
  // The reports name the vendor as the catalog does, as lookup --json does.
  FleetProbe fleet(std::move(*hosts), answer->vendor, *timeout, {}, jobs);
  ProbeSummary summary;
  deliver_reports(fleet, [&](const probe::ProbeReport& report) {
    summary.add(report);
    const std::vector<PlanRow> rows = plan_rows(report, answer->outcomes);
    write_out(options.json ? json_text(host_plan_document(report, rows)) + "\n"
                           : plan_text(report, rows));
  });
  if (options.summary) write_summary(summary, options.json);
  if (answer->malformed == 0) return Exit::Ok;
  // Under --json the rows said it already.
  return options.json ? Exit::Fault : fail(Exit::Fault, malformed_ranges_message(answer->malformed));
}

void wire_plan(CLI::App& app, PlanOptions& options) {
  add_target_options(app, options.targets);
  app.add_option("--vendor", options.vendor, "vendor identifier or alias of the hosts")
      ->type_name("V")
      ->required();
  app.add_option("--firmware", options.firmware, "firmware version of the hosts")
      ->type_name("F")
      ->required();
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  add_probe_settings(app, options.settings);
  add_summary_flag(app, options.summary);
  app.add_flag("--json", options.json,
               "one JSON object per host and line: the keys of probe --json, then plan,\n"
               "a list of type, status, cli and ways, each way {\"via\": ..., fields}");
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "every host was probed and planned"},
    {Exit::Usage,
     "usage error, unknown vendor, invalid firmware version, a timeout that\n"
     "is not a positive number of seconds, jobs outside 1 to 16384"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to does not parse (the plans\n"
     "are printed first), or the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_plan(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "plan", "Probe hosts, then say for each command type how it can be done on each.");
  app->footer(
      std::string("A way is usable when the probe found its transport open and the catalog\n"
                  "has it for the type: netconf, restconf and gnmi by the block's protocol\n"
                  "alternatives (firmware_required as stored, never compared), cli when the\n"
                  "host showed an SSH banner and the lookup gives text. Ways are listed in\n"
                  "this order of preference: netconf, restconf, gnmi, cli. Hosts come in\n"
                  "command-line order, each as soon as it and those before it are done.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<PlanOptions>(app, wire_plan, run_plan);
}

}  // namespace ov::cli
