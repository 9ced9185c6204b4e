// A probe report as the tool prints it: a JSON object with the keys and order
// of probe_device's dict, or a line for people.
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "probe/probe_report.h"

namespace ov::cli {

// host, vendor, netconf_available, gnmi_available, restconf_available,
// ssh_banner, firmware, diagnostics, elapsed_ms; absent values are null.
nlohmann::ordered_json report_json(const probe::ProbeReport& report);

// "HOST: ssh BANNER, netconf no, gnmi yes, restconf skipped (812 ms)", then
// each diagnostics line indented. `skip` tells a skipped SSH step from one
// that read no banner. Control characters a device sent are shown escaped,
// so a banner cannot drive the terminal.
std::string report_text(const probe::ProbeReport& report, std::span<const std::string> skip);

}  // namespace ov::cli
