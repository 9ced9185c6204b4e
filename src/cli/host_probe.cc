#include "cli/host_probe.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/descriptor_budget.h"
#include "cli/probe_pool.h"
#include "probe/probe_session.h"
#include "probe/socket_address.h"

namespace ov::cli {
namespace {

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

// Address literals never wait on the resolver, so one thread can wait on
// many of their probes at once. A host name is resolved by a blocking call
// that would hold up every probe beside it: then each probe has a thread.
std::size_t probes_per_thread(std::span<const std::string> hosts) {
  constexpr std::size_t kLiteralProbesPerThread = 128;
  const bool all_literals = std::ranges::all_of(hosts, [](const std::string& host) {
    return probe::parse_address_literal(host, 0).has_value();
  });
  return all_literals ? kLiteralProbesPerThread : 1;
}

}  // namespace

void add_probe_settings(CLI::App& app, ProbeSettings& settings) {
  app.add_option("-t,--timeout", settings.timeout,
                 "limit of each connect and each receive, in seconds (default 5)")
      ->type_name("S");
  app.add_option("-j,--jobs", settings.jobs,
                 "hosts probed at the same time, up to 16384 (default: every host, up to\n"
                 "1024, as far as the limit on open files allows)")
      ->type_name("N")
      ->check(CLI::Range(std::size_t{1}, kMostJobs));
}

std::expected<probe::Duration, std::string> probe_timeout(double seconds) {
  if (!(seconds > 0.0) || !std::isfinite(seconds)) {
    return std::unexpected("--timeout: expected a positive number of seconds");
  }
  const auto limit = probe::duration_from_seconds(std::max(seconds, probe::kShortestTimeout));
  if (!limit) return std::unexpected("--timeout: too large");
  return *limit;
}

void probe_hosts(std::span<const std::string> hosts, std::string_view vendor,
                 probe::Duration timeout, std::span<const std::string> skip,
                 std::optional<std::size_t> jobs,
                 const std::function<void(std::size_t index, probe::ProbeReport report)>& deliver) {
  Progress progress;
  PoolCallbacks callbacks;
  callbacks.start = [&](std::size_t index) -> std::unique_ptr<probe::ProbeTask> {
    return std::make_unique<probe::ProbeSession>(hosts[index], vendor, timeout, skip,
                                                 probe::kProbeSteps, probe::system_lookup());
  };
  callbacks.deliver = [&](std::size_t index, probe::ProbeReport report) {
    progress.clear();
    deliver(index, std::move(report));
    // Each host as soon as it is known: a pipe reader need not wait for all.
    std::fflush(stdout);
    progress.draw();
  };
  callbacks.progress = [&](std::size_t done, std::size_t total) { progress.update(done, total); };
  const std::size_t wanted = jobs.value_or(std::min(hosts.size(), kDefaultMostJobs));
  run_pool(hosts.size(), probes_within_descriptor_limit(wanted), probes_per_thread(hosts),
           callbacks);
  progress.clear();
}

}  // namespace ov::cli
