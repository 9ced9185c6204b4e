// vantrel plan [HOST...] [-T FILE]... --vendor V --firmware F [--dir DIR | --extra-dir DIR]
//              [--exact-firmware] [--command TYPE]... [--port NAME=PORT]... [-t S] [-j N]
//              [--summary] [--json]
// vantrel plan --inventory FILE [--dir DIR | --extra-dir DIR] [--exact-firmware] ...
#include <CLI/CLI.hpp>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/common_options.h"
#include "cli/inventory_option.h"
#include "cli/output.h"
#include "cli/probe_output.h"
#include "cli/subcommand.h"
#include "lookup/fleet_plan.h"

namespace ov::cli {
namespace {

struct PlanOptions {
  TargetOptions targets;
  std::optional<std::string> inventory;
  std::optional<std::string> vendor;
  std::optional<std::string> firmware;
  CatalogSource source;
  bool exact_firmware = false;
  std::vector<std::string> commands;
  std::vector<std::string> ports;
  ProbeSettings settings;
  bool json = false;
  bool summary = false;
};

// The type column: two blanks after the longest command type name.
constexpr std::size_t kTypeColumn =
    std::ranges::max(kCommandTypes, {}, [](const CommandTypeName& n) { return n.yaml.size(); })
        .yaml.size() +
    2;

std::string way_names(std::span<const PlannedWay> ways) {
  std::string names;
  for (const PlannedWay& way : ways) {
    if (!names.empty()) names += ", ";
    names += kWayNames[static_cast<std::size_t>(way.way)];
    if (!way.firmware_checked) names += " (firmware unchecked)";
  }
  return names.empty() ? "-" : names;
}

std::string excluded_names(std::span<const ExcludedWay> excluded) {
  std::string names;
  for (const ExcludedWay& way : excluded) {
    names += names.empty() ? "  (not on this firmware: " : ", ";
    names += std::string(kWayNames[static_cast<std::size_t>(way.way)]) + " " +
             std::string(way.firmware_required);
  }
  return names.empty() ? names : names + ")";
}

// The probe's line, then one row per command type: its ways by name, or "-",
// and the ways the firmware rules out.
std::string plan_text(const HostPlan& plan) {
  std::string out = report_text(plan.report, {});
  for (const PlanRow& row : plan.rows) {
    std::string line(yaml_name(row.type));
    line.resize(kTypeColumn, ' ');
    out += "  " + line + way_names(row.ways) + excluded_names(row.excluded) + "\n";
  }
  return out;
}

// The hosts of the targets with the vendor and firmware given, or the rows
// of the inventory, each checked before anything is probed.
std::expected<std::vector<PlanHost>, Failure> plan_hosts(const PlanOptions& options,
                                                         const Catalog& catalog) {
  std::vector<PlanHost> hosts;
  if (options.inventory) {
    auto inventory =
        read_inventory_file(*options.inventory, InventoryUse::Plan, &catalog, options.exact_firmware);
    if (!inventory) return std::unexpected(inventory.error());
    for (InventoryRow& row : inventory->rows) {
      hosts.push_back({std::move(row.host), std::move(row.vendor), std::move(row.firmware),
                       std::move(row.values)});
    }
    return hosts;
  }
  if (!options.vendor) return std::unexpected(usage_failure("--vendor is required (see --help)"));
  if (!options.firmware) {
    return std::unexpected(usage_failure("--firmware is required (see --help)"));
  }
  auto targets = gather_targets(options.targets);
  if (!targets) return std::unexpected(targets.error());
  for (std::string& host : *targets) {
    hosts.push_back({std::move(host), *options.vendor, *options.firmware, {}});
  }
  return hosts;
}

Exit run_plan(const PlanOptions& options) {
  const auto timeout = read_timeout(options.settings);
  if (!timeout) return fail(timeout.error());
  auto ports = read_ports(options.ports);
  if (!ports) return fail(ports.error());
  auto types = read_command_types(options.commands);
  if (!types) return fail(types.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  auto hosts = plan_hosts(options, *catalog);
  if (!hosts) return fail(hosts.error());
  FleetPlanOptions plan_options{options.exact_firmware, std::move(*types), std::move(*ports),
                                *timeout, jobs_for(options.settings, hosts->size())};
  // Any refusal of a vendor or firmware comes before the first probe.
  auto fleet = FleetPlan::start(*catalog, std::move(*hosts), std::move(plan_options));
  if (!fleet) return fail(fleet.error());

  ProbeSummary summary;
  deliver_reports((*fleet)->probe(), [&](const probe::ProbeReport& report) {
    summary.add(report);
    const HostPlan plan = (*fleet)->plan(report);
    write_out(options.json ? json_text(host_plan_json(plan)) + "\n" : plan_text(plan));
  });
  if (options.summary) write_summary(summary, options.json);
  const std::size_t malformed = (*fleet)->malformed();
  if (malformed == 0) return Exit::Ok;
  // Under --json the rows said it already.
  return options.json ? Exit::Fault : fail(Exit::Fault, malformed_ranges_message(malformed));
}

void wire_plan(CLI::App& app, PlanOptions& options) {
  add_target_options(app, options.targets);
  CLI::Option* vendor =
      app.add_option("--vendor", options.vendor, "vendor identifier or alias of the hosts")
          ->type_name("V");
  CLI::Option* firmware =
      app.add_option("--firmware", options.firmware, "firmware version of the hosts")
          ->type_name("F");
  add_inventory_option(app, options.inventory,
                       "plan each row of a CSV file (- for standard input): its host, vendor\n"
                       "and firmware columns, and columns named like placeholders giving the\n"
                       "values that fill its commands")
      ->excludes(vendor)
      ->excludes(firmware)
      ->excludes("HOST")
      ->excludes("--targets");
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  add_command_option(app, options.commands);
  add_port_option(app, options.ports);
  add_probe_settings(app, options.settings);
  add_summary_flag(app, options.summary);
  app.add_flag("--json", options.json,
               "one JSON object per host and line: the keys of probe --json (firmware as\n"
               "given), ports, then plan: a list of type, status, cli, ways and excluded");
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "every host was probed and planned"},
    {Exit::Usage,
     "usage error, unknown vendor or command type, invalid firmware version, a\n"
     "timeout that is not a positive number of seconds, jobs outside 1 to 16384,\n"
     "a port that is not a step's name and a number from 1 to 65535, an\n"
     "inventory row refused"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to does not parse (the plans\n"
     "are printed first), or the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_plan(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "plan", "Probe hosts, then say for each command type how it can be done on each.");
  app->footer(
      std::string(
          "A way is offered when the catalog has it for the type, the probe found its\n"
          "port open and the host's firmware is within the way's firmware_required\n"
          "(a firmware_required that does not read as a range is offered with\n"
          "firmware_checked false; one the firmware is outside of is listed under\n"
          "excluded). netconf, restconf, gnmi and eapi (on the HTTPS port) by the\n"
          "block's protocol alternatives; dashboard_api for a vendor managed from the\n"
          "cloud, whose texts are its API calls, whatever the probe found; cli when\n"
          "the host showed an SSH banner and the lookup gives text, with the lines to\n"
          "send, their mode (exec or config) and the session's enter, commit and leave\n"
          "lines. Ways are listed in this order of preference: netconf, restconf, gnmi,\n"
          "eapi, dashboard_api, cli. gNMI is probed on the vendor's default port (EOS\n"
          "6030, NX-OS 50051, Junos 32767, else 9339) unless --port sets it. Hosts come\n"
          "in command-line (or inventory) order, each as soon as it and those before it\n"
          "are done. An inventory row's placeholder columns fill its commands; the\n"
          "placeholders left are listed in each way's unfilled.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<PlanOptions>(app, wire_plan, run_plan);
}

}  // namespace ov::cli
