// vantrel probe [HOST...] [-T FILE]... [--vendor V] [-t S] [--skip NAMES] [-j N] [--json]
//               | --inventory FILE [...]
#include <CLI/CLI.hpp>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/common_options.h"
#include "cli/inventory_option.h"
#include "cli/output.h"
#include "cli/probe_output.h"
#include "cli/subcommand.h"
#include "fleet/fleet_probe.h"
#include "fleet/report_document.h"
#include "lookup/user_names.h"

namespace ov::cli {
namespace {

struct ProbeOptions {
  TargetOptions targets;
  std::optional<std::string> inventory;
  std::string vendor;
  std::vector<std::string> skip;
  std::vector<std::string> ports;
  ProbeSettings settings;
  bool json = false;
  bool summary = false;
};

Exit run_probe_command(const ProbeOptions& options) {
  if (auto known = check_step_names(options.skip); !known) return fail(known.error(), "--skip: ");
  const auto timeout = read_timeout(options.settings);
  if (!timeout) return fail(timeout.error());
  const auto ports = read_ports(options.ports);
  if (!ports) return fail(ports.error());
  std::vector<FleetHost> hosts;
  if (options.inventory) {
    auto inventory = read_inventory_file(*options.inventory, InventoryUse::Probe, nullptr, false);
    if (!inventory) return fail(inventory.error());
    for (InventoryRow& row : inventory->rows) {
      const StepPorts step_ports = ports->ports_for(aliased_vendor(row.vendor));
      hosts.push_back({std::move(row.host), std::move(row.vendor), step_ports});
    }
  } else {
    auto targets = gather_targets(options.targets);
    if (!targets) return fail(targets.error());
    hosts = fleet_hosts(std::move(*targets), options.vendor,
                        ports->ports_for(aliased_vendor(options.vendor)));
  }
  const std::size_t jobs = jobs_for(options.settings, hosts.size());
  FleetProbe fleet(std::move(hosts), *timeout, options.skip, jobs);
  ProbeSummary summary;
  deliver_reports(fleet, [&](const probe::ProbeReport& report) {
    summary.add(report);
    write_out(options.json ? json_text(report_json(report)) + "\n"
                           : report_text(report, options.skip));
  });
  if (options.summary) write_summary(summary, options.json);
  return Exit::Ok;
}

void wire_probe(CLI::App& app, ProbeOptions& options) {
  add_target_options(app, options.targets);
  CLI::Option* vendor =
      app.add_option("--vendor", options.vendor, "vendor identifier echoed in every report")
          ->type_name("V");
  add_inventory_option(app, options.inventory,
                       "probe the hosts of the host column of a CSV file (- for standard\n"
                       "input), in its order, each report echoing the row's vendor column")
      ->excludes("HOST")
      ->excludes("--targets")
      ->excludes(vendor);
  app.add_option("--skip", options.skip, "steps to leave out: ssh, netconf, gnmi, restconf")
      ->delimiter(',')
      ->allow_extra_args(false)  // a host after --skip ssh is a host, not a step
      ->type_name("NAMES");
  add_port_option(app, options.ports);
  add_probe_settings(app, options.settings);
  add_summary_flag(app, options.summary);
  app.add_flag("--json", options.json,
               "one JSON object per host and line, with the keys of probe_device's dict:\n"
               "host, vendor, netconf_available, gnmi_available, restconf_available,\n"
               "ssh_banner, firmware, diagnostics, elapsed_ms");
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "every host was probed"},
    {Exit::Usage,
     "usage error (an unknown step name, a timeout that is not a positive\n"
     "number of seconds, jobs outside 1 to 16384, a port that is not a step's\n"
     "name and a number from 1 to 65535, an inventory row refused)"},
    {Exit::Fault, "the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_probe(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "probe", "Probe hosts for SSH (22), NETCONF (830), gNMI (9339) and RESTCONF (443).");
  app->footer(
      std::string("Results come in the order of the hosts on the command line, each as soon as\n"
                  "it and those before it are done. Sends nothing and never logs in; network\n"
                  "failures are diagnostics lines, not errors. A progress line is drawn on\n"
                  "stderr when stderr is a terminal. Fewer hosts than --jobs are probed at once\n"
                  "when the limit on open files has no room for them. --port sets a step's\n"
                  "port; with --vendor, gNMI is probed on that vendor's default port (EOS 6030,\n"
                  "NX-OS 50051, Junos 32767) unless --port sets it.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<ProbeOptions>(app, wire_probe, run_probe_command);
}

}  // namespace ov::cli
