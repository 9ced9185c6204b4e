// Probing the hosts of a command line, as `probe` and `plan` both do: the
// --timeout and --jobs options, the open-file budget, the progress line and
// the reports handed over in host order.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "probe/duration.h"
#include "probe/probe_report.h"

namespace CLI {
class App;
}

namespace ov::cli {

// Without --jobs, every host at once up to this many; --jobs goes up to kMostJobs.
inline constexpr std::size_t kDefaultMostJobs = 1024;
inline constexpr std::size_t kMostJobs = 16384;

struct ProbeSettings {
  double timeout = 5.0;             // seconds, as given
  std::optional<std::size_t> jobs;  // --jobs, when given
};

void add_probe_settings(CLI::App& app, ProbeSettings& settings);

// The --timeout as a duration, or the usage message that refuses it.
std::expected<probe::Duration, std::string> probe_timeout(double seconds);

// Probes every host with at most `jobs` at a time (without it, every host up
// to kDefaultMostJobs; fewer when the open-file limit has no room) and calls `deliver` for each
// report in host order, as soon as it and those before it are done, with stdout flushed after each.
// Draws a progress line on stderr when stderr is a terminal.
void probe_hosts(std::span<const std::string> hosts, std::string_view vendor,
                 probe::Duration timeout, std::span<const std::string> skip,
                 std::optional<std::size_t> jobs,
                 const std::function<void(std::size_t index, probe::ProbeReport report)>& deliver);

}  // namespace ov::cli
