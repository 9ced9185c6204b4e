// How each command type can be done on a probed host: the catalog's answers
// for the vendor and firmware, joined with the transports the probe found.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "catalog/lookup.h"
#include "cli/entry_json.h"
#include "probe/probe_report.h"

namespace ov::cli {

// The ways in order of preference: the model-driven interfaces first (NETCONF
// for its validated, transactional configuration, then RESTCONF, then gNMI),
// the CLI over SSH last, since its output has to be screen-scraped.
inline constexpr std::array<std::string_view, 4> kWayOrder{"netconf", "restconf", "gnmi", "cli"};

// The plan of one host: for each outcome (one per command type, in the order
// of the command types) {"type", "status", "cli", "ways"}, where each way is
// {"via": ..., and the fields of its record}. A protocol way needs the
// block's alternative and the probe's finding of its transport open; the cli
// way needs an SSH banner and text. firmware_required is shown as stored.
Json plan_json(const probe::ProbeReport& report, std::span<const LookupOutcome> outcomes);

}  // namespace ov::cli
