// Probing the hosts of a command line, as `probe` and `plan` both do: the
// --timeout and --jobs options, the open-file budget, the progress line and
// the reports handed over in host order.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "probe/duration.h"
#include "probe/probe_report.h"

namespace CLI {
class App;
}

namespace ov::cli {

inline constexpr std::size_t kDefaultJobs = 32;
inline constexpr std::size_t kMostJobs = 1024;

struct ProbeSettings {
  double timeout = 5.0;  // seconds, as given
  std::size_t jobs = kDefaultJobs;
};

void add_probe_settings(CLI::App& app, ProbeSettings& settings);

// The --timeout as a duration, or the usage message that refuses it.
std::expected<probe::Duration, std::string> probe_timeout(double seconds);

// Probes every host with at most `jobs` at a time (fewer when the open-file
// limit has no room) and calls `deliver` for each report in host order, as
// soon as it and those before it are done, with stdout flushed after each.
// Draws a progress line on stderr when stderr is a terminal.
void probe_hosts(std::span<const std::string> hosts, std::string_view vendor,
                 probe::Duration timeout, std::span<const std::string> skip, std::size_t jobs,
                 const std::function<void(std::size_t index, probe::ProbeReport report)>& deliver);

}  // namespace ov::cli
