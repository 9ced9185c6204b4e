// vantrel probe HOST... [--vendor V] [--timeout S] [--skip NAMES] [--jobs N] [--json]
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/descriptor_budget.h"
#include "cli/output.h"
#include "cli/probe_output.h"
#include "cli/probe_pool.h"
#include "cli/subcommand.h"
#include "probe/duration.h"
#include "probe/probe_steps.h"
#include "probe/run_probe.h"

namespace ov::cli {
namespace {

constexpr std::size_t kDefaultJobs = 32;
constexpr std::size_t kMostJobs = 1024;

struct ProbeOptions {
  std::vector<std::string> hosts;
  std::string vendor;
  double timeout = 5.0;
  std::vector<std::string> skip;
  std::size_t jobs = kDefaultJobs;
  bool json = false;
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

// The progress line on stderr, drawn only for a terminal and always cleared
// before a result is written, so the two never share a line.
class Progress {
 public:
  Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
  void update(std::size_t done, std::size_t total) {
    if (!shown_) return;
    text_ = "probed " + std::to_string(done) + " of " + std::to_string(total) + " hosts";
    draw();
  }
  void clear() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  void draw() {
    if (shown_ && !text_.empty()) {
      std::fputs(("\r\033[K" + text_).c_str(), stderr);
      std::fflush(stderr);
    }
  }

 private:
  bool shown_;
  std::string text_;
};

Exit run_probe_command(const ProbeOptions& options) {
  if (const std::string* name = unknown_step(options.skip)) {
    return fail(Exit::Usage,
                "--skip: unknown probe step '" + *name + "' (steps: " + step_names() + ")");
  }
  if (!(options.timeout > 0.0) || !std::isfinite(options.timeout)) {
    return fail(Exit::Usage, "--timeout: expected a positive number of seconds");
  }
  const auto limit =
      probe::duration_from_seconds(std::max(options.timeout, probe::kShortestTimeout));
  if (!limit) return fail(Exit::Usage, "--timeout: too large");
  const probe::Duration timeout = *limit;

  Progress progress;
  PoolCallbacks callbacks;
  callbacks.probe = [&](std::size_t index) {
    return probe::run_probe(options.hosts[index], options.vendor, timeout, options.skip);
  };
  callbacks.deliver = [&](std::size_t, probe::ProbeReport report) {
    progress.clear();
    write_out(options.json ? json_text(report_json(report)) + "\n"
                           : report_text(report, options.skip));
    // Each host as soon as it is known: a pipe reader need not wait for all.
    std::fflush(stdout);
    progress.draw();
  };
  callbacks.progress = [&](std::size_t done, std::size_t total) { progress.update(done, total); };
  run_pool(options.hosts.size(), probes_within_descriptor_limit(options.jobs), callbacks);
  progress.clear();
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "every host was probed"},
    {Exit::Usage,
     "usage error (an unknown step name, a timeout that is not a positive\n"
     "number of seconds, jobs outside 1 to 1024)"},
    {Exit::Fault, "the output could not be written"},
}};

}  // namespace

Subcommand add_probe(CLI::App& root) {
  auto options = std::make_shared<ProbeOptions>();
  CLI::App* app = root.add_subcommand(
      "probe", "Probe hosts for SSH (22), NETCONF (830), gNMI (9339) and RESTCONF (443).");
  app->add_option("HOST", options->hosts, "host names or addresses")->required();
  app->add_option("--vendor", options->vendor, "vendor identifier echoed in every report")
      ->type_name("V");
  app->add_option("--timeout", options->timeout,
                  "limit of each connect and each receive, in seconds (default 5)")
      ->type_name("S");
  app->add_option("--skip", options->skip, "steps to leave out: ssh, netconf, gnmi, restconf")
      ->delimiter(',')
      ->allow_extra_args(false)  // a host after --skip ssh is a host, not a step
      ->type_name("NAMES");
  app->add_option("--jobs", options->jobs, "hosts probed at the same time (default 32)")
      ->type_name("N")
      ->check(CLI::Range(std::size_t{1}, kMostJobs));
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
