#include "cli/common_options.h"

#include <CLI/CLI.hpp>

#include "cli/input_file.h"
#include "cli/output.h"
#include "fleet/descriptor_budget.h"
#include "fleet/fleet_probe.h"
#include "fleet/targets.h"
#include "lookup/every_type.h"

namespace ov::cli {

void add_exact_firmware_flag(CLI::App& app, bool& exact) {
  app.add_flag("--exact-firmware", exact,
               "look the firmware up as given: keep a release code (KB.16.11.0012), a\n"
               "Meraki tag (switch-15-21, MS 15.21) or a leading v or Version");
}

void add_set_option(CLI::App& app, std::vector<std::string>& arguments) {
  app.add_option("--set", arguments,
                 "fill the placeholder {NAME} with VALUE (repeatable); with any --set, a\n"
                 "placeholder left without a value is an error, a NAME the text does not\n"
                 "use a warning; a VALUE with a control character (a line break) is\n"
                 "refused; inside a JSON string of a body VALUE is JSON-escaped")
      ->type_name("NAME=VALUE")
      ->allow_extra_args(false);
}

std::expected<Settings, Failure> read_settings(const std::vector<std::string>& arguments) {
  Settings settings;
  for (const std::string& argument : arguments) {
    const std::size_t equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(0, equals);
    if (equals == std::string::npos || !is_placeholder_name(name)) {
      return std::unexpected(usage_failure(
          "--set: expected NAME=VALUE with NAME a placeholder name such as interface, got '" +
          argument + "'"));
    }
    if (auto set = settings.set(name, argument.substr(equals + 1)); !set) {
      return std::unexpected(set.error());
    }
  }
  return settings;
}

void warn_unused_settings(const std::vector<std::string>& names, UnusedScope scope) {
  for (const std::string& name : names) warn("--set " + unused_setting_message(name, scope));
}

void add_target_options(CLI::App& app, TargetOptions& options) {
  app.add_option("HOST", options.hosts,
                 "host names, addresses, networks (192.0.2.0/24, 2001:db8::/120) or\n"
                 "last-octet ranges (192.0.2.10-20)");
  app.add_option("-T,--targets", options.files,
                 "read targets from FILE, one per line (- for standard input); blank\n"
                 "lines and # comments are skipped")
      ->type_name("FILE")
      ->allow_extra_args(false);
}

std::expected<std::vector<std::string>, Failure> gather_targets(const TargetOptions& options) {
  TargetList list;
  for (const std::string& host : options.hosts) {
    if (auto added = list.add(host, ""); !added) {
      return std::unexpected(usage_failure(added.error()));
    }
  }
  for (const std::string& file : options.files) {
    const auto text = read_input(file, "--targets");
    if (!text) return std::unexpected(text.error());
    if (auto added = list.add_lines(*text, input_name(file)); !added) {
      return std::unexpected(usage_failure(added.error()));
    }
  }
  if (list.empty()) {
    return std::unexpected(usage_failure("no host to probe: give HOST arguments or --targets"));
  }
  return std::move(list).release();
}

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

std::expected<probe::Duration, Failure> read_timeout(const ProbeSettings& settings) {
  auto timeout = probe_timeout(settings.timeout);
  if (!timeout) timeout.error().message.insert(0, "--timeout: ");
  return timeout;
}

std::size_t jobs_for(const ProbeSettings& settings, std::size_t hosts) {
  return probes_within_descriptor_limit(settings.jobs.value_or(default_jobs(hosts)));
}

void add_port_option(CLI::App& app, std::vector<std::string>& arguments) {
  app.add_option("--port", arguments,
                 "probe a step on another port: ssh, netconf, gnmi or restconf (the HTTPS\n"
                 "port, where eAPI is looked for too); repeatable")
      ->type_name("NAME=PORT")
      ->allow_extra_args(false);
}

std::expected<PortSettings, Failure> read_ports(const std::vector<std::string>& arguments) {
  PortSettings ports;
  for (const std::string& argument : arguments) {
    if (auto set = ports.set(argument); !set) {
      set.error().message.insert(0, "--port: ");
      return std::unexpected(set.error());
    }
  }
  return ports;
}

void add_command_option(CLI::App& app, std::vector<std::string>& names) {
  app.add_option("--command", names, "keep to this command type (repeatable)")
      ->type_name("TYPE")
      ->allow_extra_args(false);
}

std::expected<std::vector<CommandType>, Failure> read_command_types(
    const std::vector<std::string>& names) {
  auto types = select_command_types(names);
  if (!types) types.error().message.insert(0, "--command: ");
  return types;
}

void add_summary_flag(CLI::App& app, bool& summary) {
  app.add_flag("--summary", summary,
               "after the reports, count the hosts by what they offer: ssh, netconf,\n"
               "gnmi, restconf, nothing reachable (under --json, a final {\"summary\": ...})");
}

void write_summary(const ProbeSummary& summary, bool json) {
  write_out(json ? json_text(summary.json()) + "\n" : summary.text());
}

}  // namespace ov::cli
