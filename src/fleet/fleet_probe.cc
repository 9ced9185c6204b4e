#include "fleet/fleet_probe.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "probe/probe_session.h"
#include "probe/probe_steps.h"
#include "probe/socket_address.h"

namespace ov {
namespace {

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

std::string step_names() {
  std::string names;
  for (const probe::ProbeStep& step : probe::kProbeSteps) {
    if (!names.empty()) names += ", ";
    names += step.skip_name;
  }
  return names;
}

}  // namespace

std::expected<probe::Duration, Failure> probe_timeout(double seconds) {
  if (!(seconds > 0.0) || !std::isfinite(seconds)) {
    return std::unexpected(usage_failure("expected a positive number of seconds"));
  }
  const auto limit = probe::duration_from_seconds(std::max(seconds, probe::kShortestTimeout));
  if (!limit) return std::unexpected(usage_failure("too large"));
  return *limit;
}

std::expected<void, Failure> check_step_names(std::span<const std::string> skip) {
  for (const std::string& name : skip) {
    const std::span<const std::string> one(&name, 1);
    const bool known = std::ranges::any_of(probe::kProbeSteps, [&](const probe::ProbeStep& step) {
      return probe::is_skipped(step.skip_name, one);
    });
    if (!known) {
      return std::unexpected(
          usage_failure("unknown probe step '" + name + "' (steps: " + step_names() + ")"));
    }
  }
  return {};
}

std::expected<void, Failure> check_jobs(std::size_t jobs) {
  if (jobs >= 1 && jobs <= kMostJobs) return {};
  return std::unexpected(
      usage_failure("expected 1 to " + std::to_string(kMostJobs) + " hosts at a time"));
}

std::size_t default_jobs(std::size_t hosts) { return std::min(hosts, kDefaultMostJobs); }

FleetProbe::FleetProbe(std::vector<std::string> hosts, std::string vendor, probe::Duration timeout,
                       std::vector<std::string> skip, std::size_t jobs)
    : FleetProbe(std::move(hosts), std::vector<std::string>{std::move(vendor)}, timeout,
                 std::move(skip), jobs) {}

FleetProbe::FleetProbe(std::vector<std::string> hosts, std::vector<std::string> vendors,
                       probe::Duration timeout, std::vector<std::string> skip, std::size_t jobs)
    : hosts_(std::move(hosts)),
      vendors_(std::move(vendors)),
      timeout_(timeout),
      skip_(std::move(skip)),
      run_(hosts_.size(), jobs, probes_per_thread(hosts_),
           [this](std::size_t index) -> std::unique_ptr<probe::ProbeTask> {
             return std::make_unique<probe::ProbeSession>(hosts_[index], vendor_of(index), timeout_,
                                                          skip_, probe::kProbeSteps,
                                                          probe::system_lookup());
           }) {}

}  // namespace ov
