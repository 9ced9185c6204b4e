// How each command type can be done on a probed host: the catalog's answers
// for the vendor and firmware, joined with the transports the probe found.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "catalog/lookup.h"
#include "probe/probe_report.h"

namespace ov {

// The ways in order of preference: the model-driven interfaces first (NETCONF
// for its validated, transactional configuration, then RESTCONF, then gNMI),
// the CLI over SSH last, since its output has to be screen-scraped.
enum class Way : std::uint8_t { Netconf, Restconf, Gnmi, Cli };

inline constexpr std::array<std::string_view, 4> kWayNames{"netconf", "restconf", "gnmi", "cli"};

struct PlanRow {
  const LookupOutcome* outcome;  // of the row's command type
  std::vector<Way> ways;         // in order of preference
};

// One row per outcome (one per command type, in the order of the command
// types). A protocol way needs the block's alternative and the probe's
// finding of its transport open; the cli way needs an SSH banner and text.
std::vector<PlanRow> plan_rows(const probe::ProbeReport& report,
                               std::span<const LookupOutcome> outcomes);

// For each row {"type", "status", "cli", "ways"}, each way {"via": ..., and
// the fields of its record}; firmware_required as stored.
Json plan_json(std::span<const PlanRow> rows);

// The plan of one host: the keys of its probe report, then "plan".
Json host_plan_document(const probe::ProbeReport& report, std::span<const PlanRow> rows);

}  // namespace ov
