// Probe reports as the tool prints them: a line for people, handed out in
// host order with a progress line on a terminal.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "fleet/fleet_probe.h"
#include "probe/probe_report.h"

namespace ov::cli {

// "HOST: ssh BANNER, netconf no, gnmi yes, restconf skipped (812 ms)", then
// each diagnostics line indented. `skip` tells a skipped SSH step from one
// that read no banner. Control characters a device sent are shown escaped,
// so a banner cannot drive the terminal.
std::string report_text(const probe::ProbeReport& report, std::span<const std::string> skip);

// Calls `deliver` for each report of `fleet` in host order, stdout flushed
// after each, so a pipe reader need not wait for all. Draws a progress line
// on stderr when stderr is a terminal.
void deliver_reports(FleetProbe& fleet,
                     const std::function<void(const probe::ProbeReport& report)>& deliver);

}  // namespace ov::cli
