#include "fleet/probe_ports.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "fleet/fleet_probe.h"

namespace ov {
namespace {

// gNMI listens where each vendor's configuration guide puts it by default;
// the others keep the well-known 9339.
struct VendorPort {
  std::string_view vendor;
  std::string_view step;
  std::uint16_t port;
};

constexpr std::array<VendorPort, 3> kVendorPorts{{
    {"arista_eos", "gnmi", 6030},
    {"cisco_nxos", "gnmi", 50051},
    {"juniper_junos", "gnmi", 32767},
}};

// The step `name` names, ignoring ASCII case as --skip does; or the refusal
// that lists the steps.
std::expected<std::size_t, Failure> step_index(std::string_view name) {
  const std::string given(name);
  const std::span<const std::string> one(&given, 1);
  for (std::size_t i = 0; i < probe::kProbeSteps.size(); ++i) {
    if (probe::is_skipped(probe::kProbeSteps[i].skip_name, one)) return i;
  }
  return std::unexpected(check_step_names(one).error());
}

Failure bad_port(std::string_view name, std::string_view port) {
  return usage_failure(std::string(name) + " port '" + std::string(port) +
                       "' is not a number from 1 to 65535");
}

}  // namespace

std::expected<void, Failure> PortSettings::set(std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string_view::npos) {
    return std::unexpected(usage_failure("expected NAME=PORT, got '" + std::string(assignment) + "'"));
  }
  const std::string_view name = assignment.substr(0, equals);
  const std::string_view text = assignment.substr(equals + 1);
  // The step's name is checked first, so that a typo is named as one.
  if (const auto index = step_index(name); !index) return std::unexpected(index.error());
  long long port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
    return std::unexpected(bad_port(name, text));
  }
  return set(name, port);
}

std::expected<void, Failure> PortSettings::set(std::string_view name, long long port) {
  const auto index = step_index(name);
  if (!index) return std::unexpected(index.error());
  if (port < 1 || port > 65535) return std::unexpected(bad_port(name, std::to_string(port)));
  given_[*index] = static_cast<std::uint16_t>(port);
  return {};
}

StepPorts PortSettings::ports_for(std::string_view vendor) const {
  StepPorts ports{};
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const std::string_view step = probe::kProbeSteps[i].skip_name;
    const auto vendor_port = std::ranges::find_if(kVendorPorts, [&](const VendorPort& row) {
      return row.vendor == vendor && row.step == step;
    });
    ports[i] = given_[i].value_or(vendor_port != kVendorPorts.end() ? vendor_port->port
                                                                     : probe::kProbeSteps[i].port);
  }
  return ports;
}

std::array<probe::ProbeStep, probe::kProbeSteps.size()> steps_on(const StepPorts& ports) {
  std::array<probe::ProbeStep, probe::kProbeSteps.size()> steps = probe::kProbeSteps;
  for (std::size_t i = 0; i < steps.size(); ++i) steps[i].port = ports[i];
  return steps;
}

}  // namespace ov
