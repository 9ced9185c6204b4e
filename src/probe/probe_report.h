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

}  // namespace ov::probe
