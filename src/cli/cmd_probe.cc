// vantrel probe [HOST...] [-T FILE]... [--vendor V] [-t S] [--skip NAMES] [-j N] [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "cli/host_probe.h"
#include "cli/output.h"
#include "cli/probe_output.h"
#include "cli/probe_summary.h"
#include "cli/subcommand.h"
#include "cli/targets.h"
#include "probe/probe_steps.h"

namespace ov::cli {
namespace {

struct ProbeOptions {
  TargetOptions targets;
  std::string vendor;
  std::vector<std::string> skip;
  ProbeSettings settings;
  bool json = false;
  bool summary = false;
};

std::string step_names() {
  std::string names;
  for (const probe::ProbeStep& step : probe::kProbeSteps) {
    if (!names.empty()) names += ", ";
    names += step.skip_name;
  }
  return names;
}

// A name that is no step would skip nothing; at the shell that is a typo.
const std::string* unknown_step(const std::vector<std::string>& skip) {
  for (const std::string& name : skip) {
    const std::span<const std::string> one(&name, 1);
    const bool known = std::ranges::any_of(probe::kProbeSteps, [&](const probe::ProbeStep& step) {
      return probe::is_skipped(step.skip_name, one);
    });
    if (!known) return &name;
  }
  return nullptr;
}

Exit run_probe_command(const ProbeOptions& options) {
  if (const std::string* name = unknown_step(options.skip)) {
    return fail(Exit::Usage,
                "--skip: unknown probe step '" + *name + "' (steps: " + step_names() + ")");
  }
  const auto timeout = probe_timeout(options.settings.timeout);
  if (!timeout) return fail(Exit::Usage, timeout.error());
  const auto hosts = gather_targets(options.targets);
  if (!hosts) return fail(Exit::Usage, hosts.error());
  ProbeSummary summary;
  probe_hosts(*hosts, options.vendor, *timeout, options.skip, options.settings.jobs,
              [&](std::size_t, const probe::ProbeReport& report) {
                summary.add(report);
                write_out(options.json ? json_text(report_json(report)) + "\n"
                                       : report_text(report, options.skip));
              });
  if (options.summary) write_summary(summary, options.json);
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "every host was probed"},
    {Exit::Usage,
     "usage error (an unknown step name, a timeout that is not a positive\n"
     "number of seconds, jobs outside 1 to 16384)"},
    {Exit::Fault, "the output could not be written"},
}};

}  // namespace

Subcommand add_probe(CLI::App& root) {
  auto options = std::make_shared<ProbeOptions>();
  CLI::App* app = root.add_subcommand(
      "probe", "Probe hosts for SSH (22), NETCONF (830), gNMI (9339) and RESTCONF (443).");
  add_target_options(*app, options->targets);
  app->add_option("--vendor", options->vendor, "vendor identifier echoed in every report")
      ->type_name("V");
  app->add_option("--skip", options->skip, "steps to leave out: ssh, netconf, gnmi, restconf")
      ->delimiter(',')
      ->allow_extra_args(false)  // a host after --skip ssh is a host, not a step
      ->type_name("NAMES");
  add_probe_settings(*app, options->settings);
  add_summary_flag(*app, options->summary);
  app->add_flag("--json", options->json,
                "one JSON object per host and line, with the keys of probe_device's dict:\n"
                "host, vendor, netconf_available, gnmi_available, restconf_available,\n"
                "ssh_banner, firmware, diagnostics, elapsed_ms");
  app->footer(
      std::string("Results come in the order of the hosts on the command line, each as soon as\n"
                  "it and those before it are done. Sends nothing and never logs in; network\n"
                  "failures are diagnostics lines, not errors. A progress line is drawn on\n"
                  "stderr when stderr is a terminal. Fewer hosts than --jobs are probed at once\n"
                  "when the limit on open files has no room for them.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_probe_command(*options); }};
}

}  // namespace ov::cli
