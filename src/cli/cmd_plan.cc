// vantrel plan [HOST...] [-T FILE]... --vendor V --firmware F [--dir DIR | --extra-dir DIR]
//              [--exact-firmware] [-t S] [-j N] [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/every_type.h"
#include "cli/host_probe.h"
#include "cli/output.h"
#include "cli/plan.h"
#include "cli/probe_output.h"
#include "cli/probe_summary.h"
#include "cli/subcommand.h"
#include "cli/targets.h"
#include "cli/user_names.h"

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
std::string plan_text(const probe::ProbeReport& report, const Json& plan) {
  std::string out = report_text(report, {});
  for (const Json& row : plan) {
    std::string line = row["type"].get<std::string>();
    line.resize(kTypeColumn, ' ');
    std::string ways;
    for (const Json& way : row["ways"]) {
      if (!ways.empty()) ways += ", ";
      ways += way["via"].get<std::string>();
    }
    out += "  " + line + (ways.empty() ? "-" : ways) + "\n";
  }
  return out;
}

Exit run_plan(const PlanOptions& options) {
  const auto timeout = probe_timeout(options.settings.timeout);
  if (!timeout) return fail(Exit::Usage, timeout.error());
  const auto hosts = gather_targets(options.targets);
  if (!hosts) return fail(Exit::Usage, hosts.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(Exit::Fault, catalog.error());
  const LookupKey key =
      lookup_key(*catalog, options.vendor, options.firmware, options.exact_firmware);

  // The catalog's answers are the same for every host: looked up once, and
  // any refusal of the vendor or firmware comes before the first probe.
  const auto every = answer_every_type(*catalog, key, options.vendor);
  if (!every) return every.error();

  ProbeSummary summary;
  // The reports name the vendor as the catalog does, as lookup --json does.
  probe_hosts(*hosts, key.vendor, *timeout, {}, options.settings.jobs,
              [&](std::size_t, const probe::ProbeReport& report) {
                summary.add(report);
                const Json plan = plan_json(report, every->outcomes);
                if (!options.json) return write_out(plan_text(report, plan));
                Json line = report_json(report);
                line["plan"] = plan;
                write_line(json_text(line));
              });
  if (options.summary) write_summary(summary, options.json);
  return after_every_type(*every, options.json);
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

Subcommand add_plan(CLI::App& root) {
  auto options = std::make_shared<PlanOptions>();
  CLI::App* app = root.add_subcommand(
      "plan", "Probe hosts, then say for each command type how it can be done on each.");
  add_target_options(*app, options->targets);
  app->add_option("--vendor", options->vendor, "vendor identifier or alias of the hosts")
      ->type_name("V")
      ->required();
  app->add_option("--firmware", options->firmware, "firmware version of the hosts")
      ->type_name("F")
      ->required();
  add_catalog_options(*app, options->source);
  add_exact_firmware_flag(*app, options->exact_firmware);
  add_probe_settings(*app, options->settings);
  add_summary_flag(*app, options->summary);
  app->add_flag("--json", options->json,
                "one JSON object per host and line: the keys of probe --json, then plan,\n"
                "a list of type, status, cli and ways, each way {\"via\": ..., fields}");
  app->footer(
      std::string("A way is usable when the probe found its transport open and the catalog\n"
                  "has it for the type: netconf, restconf and gnmi by the block's protocol\n"
                  "alternatives (firmware_required as stored, never compared), cli when the\n"
                  "host showed an SSH banner and the lookup gives text. Ways are listed in\n"
                  "this order of preference: netconf, restconf, gnmi, cli. Hosts come in\n"
                  "command-line order, each as soon as it and those before it are done.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_plan(*options); }};
}

}  // namespace ov::cli
