// Options that several subcommands share, and reading them into what the
// rooms below take.
#pragma once

#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "cli/exit_status.h"
#include "catalog/command_type.h"
#include "fleet/probe_ports.h"
#include "fleet/probe_summary.h"
#include "lookup/placeholders.h"
#include "probe/duration.h"

namespace CLI {
class App;
}

namespace ov::cli {

// --exact-firmware.
void add_exact_firmware_flag(CLI::App& app, bool& exact);

// --set NAME=VALUE (repeatable), and the values it gave; a malformed argument
// is refused naming it.
void add_set_option(CLI::App& app, std::vector<std::string>& arguments);
std::expected<Settings, Failure> read_settings(const std::vector<std::string>& arguments);
// "warning: --set NAME is not a placeholder of the text" for each name.
void warn_unused_settings(const std::vector<std::string>& names, UnusedScope scope);

// HOST... and -T/--targets FILE (repeatable, "-" for standard input).
struct TargetOptions {
  std::vector<std::string> hosts;
  std::vector<std::string> files;
};
void add_target_options(CLI::App& app, TargetOptions& options);
// Every host, or the refusal of a target or a file.
std::expected<std::vector<std::string>, Failure> gather_targets(const TargetOptions& options);

// -t/--timeout and -j/--jobs.
struct ProbeSettings {
  double timeout = 5.0;             // seconds, as given
  std::optional<std::size_t> jobs;  // when given
};
void add_probe_settings(CLI::App& app, ProbeSettings& settings);
std::expected<probe::Duration, Failure> read_timeout(const ProbeSettings& settings);
// How many hosts to probe at once: --jobs or the default, within the open
// files this process may have (raising its limit as far as allowed).
std::size_t jobs_for(const ProbeSettings& settings, std::size_t hosts);

// --port NAME=PORT (repeatable), and the ports it set; a malformed argument
// is refused naming it.
void add_port_option(CLI::App& app, std::vector<std::string>& arguments);
std::expected<PortSettings, Failure> read_ports(const std::vector<std::string>& arguments);

// --command TYPE (repeatable), and the types it kept: every type without one.
void add_command_option(CLI::App& app, std::vector<std::string>& names);
std::expected<std::vector<CommandType>, Failure> read_command_types(
    const std::vector<std::string>& names);

// --summary, and the summary after the reports (a final JSON object under --json).
void add_summary_flag(CLI::App& app, bool& summary);
void write_summary(const ProbeSummary& summary, bool json);

}  // namespace ov::cli
