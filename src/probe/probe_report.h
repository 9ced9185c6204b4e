// What one probe of a host saw. Owns all its texts; handed out by value.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ov::probe {

struct ProbeReport {
  std::string host;    // as passed to the probe
  std::string vendor;  // as passed to the probe; only echoed
  // Absent when the step was skipped.
  std::optional<bool> netconf_available;   // 830 answered with an SSH identification line
  std::optional<bool> gnmi_available;      // 9339 accepted a connection
  std::optional<bool> restconf_available;  // 443 accepted a connection
  std::optional<std::string> ssh_banner;   // the "SSH-" line of port 22
  std::optional<std::string> firmware;     // never filled by the probe
  // One line per step that did not fully succeed, in step order.
  std::vector<std::string> diagnostics;
  unsigned __int128 elapsed_ms = 0;  // whole milliseconds of the whole sequence
};

// Calls `field(key, value)` for each part of `report` under the key and in
// the order that every writer of a report uses: host, vendor,
// netconf_available, gnmi_available, restconf_available, ssh_banner,
// firmware, diagnostics, elapsed_ms. Stops at the first call that returns
// false; returns whether every call returned true.
template <class Field>
bool visit_report(const ProbeReport& report, Field&& field) {
  return field("host", report.host) && field("vendor", report.vendor) &&
         field("netconf_available", report.netconf_available) &&
         field("gnmi_available", report.gnmi_available) &&
         field("restconf_available", report.restconf_available) &&
         field("ssh_banner", report.ssh_banner) && field("firmware", report.firmware) &&
         field("diagnostics", report.diagnostics) && field("elapsed_ms", report.elapsed_ms);
}

}  // namespace ov::probe
