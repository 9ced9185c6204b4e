// The four steps of the protocol-capability probe, as a table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "probe/net_error.h"
#include "probe/probe_report.h"

namespace ov::probe {

enum class StepOperation : std::uint8_t {
  ReadBanner,  // read_ssh_banner: the port must present an SSH identification line
  Connect,     // tcp_connect, the stream closed at once: a connection is enough
};

struct ProbeStep {
  std::string_view skip_name;  // matched without regard to ASCII case
  std::uint16_t port;
  StepOperation operation;
  // The flag this step sets (true on success, false otherwise); null for SSH,
  // whose outcome shows only in the banner and the diagnostics.
  std::optional<bool> ProbeReport::*flag;
  // Whether a banner read by this step is kept as ProbeReport::ssh_banner.
  bool keeps_banner;
  std::string_view prefix;     // starts every diagnostics line of the step
  std::string_view no_banner;  // ends the line when the port answered without a banner
};

// SSH, NETCONF, gNMI, RESTCONF, in the order they run.
inline constexpr std::array<ProbeStep, 4> kProbeSteps{{
    {"ssh", 22, StepOperation::ReadBanner, nullptr, true, "ssh:", " reachable but no banner read"},
    {"netconf", 830, StepOperation::ReadBanner, &ProbeReport::netconf_available, false,
     "netconf:", " reachable but no SSH banner"},
    {"gnmi", 9339, StepOperation::Connect, &ProbeReport::gnmi_available, false, "gnmi:", ""},
    {"restconf", 443, StepOperation::Connect, &ProbeReport::restconf_available, false,
     "restconf:", ""},
}};

// True iff some entry of `skip` equals `skip_name` once ASCII letters are
// lower-cased (same length, every other byte identical).
bool is_skipped(std::string_view skip_name, std::span<const std::string> skip);

// "ssh:22 reachable but no banner read": the port answered, without a banner.
std::string no_banner_line(const ProbeStep& step);
// "gnmi:9339 connection timed out": the step's operation failed with `error`.
std::string failure_line(const ProbeStep& step, const NetError& error);

}  // namespace ov::probe
