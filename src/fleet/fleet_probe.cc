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
std::size_t probes_per_thread(std::span<const FleetHost> hosts) {
  constexpr std::size_t kLiteralProbesPerThread = 128;
  const bool all_literals = std::ranges::all_of(hosts, [](const FleetHost& host) {
    return probe::parse_address_literal(host.host, 0).has_value();
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

using StepTable = std::array<probe::ProbeStep, probe::kProbeSteps.size()>;

bool on_ports(const StepTable& table, const StepPorts& ports) {
  return std::ranges::equal(table, ports, {}, &probe::ProbeStep::port);
}

// The step tables of the hosts' ports, each once.
std::vector<StepTable> distinct_tables(std::span<const FleetHost> hosts) {
  std::vector<StepTable> tables;
  for (const FleetHost& host : hosts) {
    const bool known = std::ranges::any_of(
        tables, [&](const StepTable& table) { return on_ports(table, host.ports); });
    if (!known) tables.push_back(steps_on(host.ports));
  }
  return tables;
}

std::vector<std::size_t> table_indexes(std::span<const FleetHost> hosts,
                                       std::span<const StepTable> tables) {
  std::vector<std::size_t> indexes;
  indexes.reserve(hosts.size());
  for (const FleetHost& host : hosts) {
    const auto it = std::ranges::find_if(
        tables, [&](const StepTable& table) { return on_ports(table, host.ports); });
    indexes.push_back(static_cast<std::size_t>(it - tables.begin()));
  }
  return indexes;
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

std::vector<FleetHost> fleet_hosts(std::vector<std::string> hosts, std::string_view vendor,
                                   const StepPorts& ports) {
  std::vector<FleetHost> fleet;
  fleet.reserve(hosts.size());
  for (std::string& host : hosts) fleet.push_back({std::move(host), std::string(vendor), ports});
  return fleet;
}

FleetProbe::FleetProbe(std::vector<FleetHost> hosts, probe::Duration timeout,
                       std::vector<std::string> skip, std::size_t jobs)
    : hosts_(std::move(hosts)),
      tables_(distinct_tables(hosts_)),
      table_of_(table_indexes(hosts_, tables_)),
      timeout_(timeout),
      skip_(std::move(skip)),
      run_(hosts_.size(), jobs, probes_per_thread(hosts_),
           [this](std::size_t index) -> std::unique_ptr<probe::ProbeTask> {
             const FleetHost& host = hosts_[index];
             return std::make_unique<probe::ProbeSession>(host.host, host.vendor, timeout_, skip_,
                                                          tables_[table_of_[index]],
                                                          probe::system_lookup());
           }) {}

}  // namespace ov
