// Probing a fleet, as `vantrel probe` and `plan` and the package's
// probe_many do: the checks of their settings, how many probes run at once,
// and the reports in host order. The process-wide open-file budget is the
// caller's (descriptor_budget.h).
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "fleet/probe_pool.h"
#include "probe/duration.h"
#include "probe/probe_report.h"

namespace ov {

// Without a number of jobs, every host at once up to this many; at most kMostJobs.
inline constexpr std::size_t kDefaultMostJobs = 1024;
inline constexpr std::size_t kMostJobs = 16384;

// The timeout as a duration (below 1 ms, 1 ms), or the refusal of one that is
// not a positive number of seconds or too large.
std::expected<probe::Duration, Failure> probe_timeout(double seconds);

// Refuses a name that is no probe step (a typo would skip nothing):
// "unknown probe step 'x' (steps: ssh, netconf, gnmi, restconf)".
std::expected<void, Failure> check_step_names(std::span<const std::string> skip);

// Refuses jobs outside 1 to kMostJobs: "expected 1 to 16384 hosts at a time".
std::expected<void, Failure> check_jobs(std::size_t jobs);

// How many probes to run at once for `hosts` without a number of jobs given.
std::size_t default_jobs(std::size_t hosts);

// The probes of a fleet, started at construction on a pool of threads: one
// thread waits on up to 128 probes when every host is an address, each probe
// has a thread of its own otherwise (a host name is resolved by a blocking
// call). The hosts and skip list are copied.
class FleetProbe {
 public:
  FleetProbe(std::vector<std::string> hosts, std::string vendor, probe::Duration timeout,
             std::vector<std::string> skip, std::size_t jobs);
  // Each host with the vendor its report echoes: `vendors[i]` for `hosts[i]`.
  FleetProbe(std::vector<std::string> hosts, std::vector<std::string> vendors,
             probe::Duration timeout, std::vector<std::string> skip, std::size_t jobs);

  // The next report in host order, once it and those before it are done;
  // nothing after the last or after stop(). `progress(done, total)` as
  // ProbeRun::next.
  std::optional<probe::ProbeReport> next(
      const std::function<void(std::size_t done, std::size_t total)>& progress = {}) {
    return run_.next(progress);
  }

  // Abandons the probes still running; safe from any thread.
  void stop() { run_.stop(); }

  std::size_t size() const { return hosts_.size(); }

 private:
  // The vendor echoed for the host at `index`.
  const std::string& vendor_of(std::size_t index) const {
    return vendors_.size() == 1 ? vendors_.front() : vendors_[index];
  }

  std::vector<std::string> hosts_;
  std::vector<std::string> vendors_;  // one per host, or one for every host
  probe::Duration timeout_;
  std::vector<std::string> skip_;
  ProbeRun run_;  // last: stopped and joined before the rest goes
};

}  // namespace ov
