// How each command type can be done on a probed host: the catalog's answers
// for the vendor and firmware, joined with the transports the probe found,
// each way judged against the host's firmware, and the CLI as lines to send.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "catalog/lookup.h"
#include "fleet/probe_ports.h"
#include "lookup/every_type.h"
#include "lookup/placeholders.h"
#include "probe/probe_report.h"

namespace ov {

// The ways in order of preference: the model-driven interfaces first (NETCONF
// for its validated, transactional configuration, then RESTCONF, then gNMI),
// then Arista's eAPI (structured answers to CLI commands), the cloud API of
// a vendor managed from the cloud, the CLI over SSH last, since its output
// has to be screen-scraped.
enum class Way : std::uint8_t { Netconf, Restconf, Gnmi, Eapi, DashboardApi, Cli };

inline constexpr std::array<std::string_view, 6> kWayNames{"netconf", "restconf", "gnmi",
                                                           "eapi",    "dashboard_api", "cli"};

struct PlannedWay {
  Way way;
  // Whether the host's firmware was compared with the way's
  // firmware_required (false: the text does not read as a range).
  bool firmware_checked = true;
};

// A way the catalog has for the type that the host's firmware is outside of.
struct ExcludedWay {
  Way way;
  std::string_view firmware_required;  // as stored
};

struct PlanRow {
  CommandType type;
  const LookupOutcome* outcome;
  std::string text;  // the stored text, its known placeholders filled (Text only)
  std::vector<std::string> unfilled;  // the placeholders of `text` without a value
  std::vector<PlannedWay> ways;  // in order of preference
  std::vector<ExcludedWay> excluded;
};

// What a host is planned with: the catalog's answers for its vendor and
// firmware, the values of its placeholders, and the types asked for.
struct PlanInput {
  const TableAnswer* answer;
  const VendorFile* vendor;
  const Settings* settings;
};

// One row per type of the answer. A protocol way needs the block's alternative,
// the probe's finding of its port open (eAPI: the HTTPS port that RESTCONF
// is probed on) and the host's firmware within its firmware_required where
// that reads as a range. The Dashboard API is the way of a vendor whose texts
// are its calls, whatever the probe found; such a vendor has no cli way. The
// cli way needs an SSH banner and text.
std::vector<PlanRow> plan_rows(const probe::ProbeReport& report, const PlanInput& input);

// For each row {"type", "status", "cli", "ways", "excluded"}; a protocol way
// {"via", the fields of its record, "firmware_checked"}, the cli way {"via",
// "cli", "mode", "commands", "session", "unfilled"}, the Dashboard API way
// {"via", "call", "unfilled"}.
Json plan_json(std::span<const PlanRow> rows, std::string_view vendor);

// The plan of one host: the keys of its probe report, "ports" (each step's
// port by name), then "plan".
Json host_plan_document(const probe::ProbeReport& report, const StepPorts& ports,
                        std::span<const PlanRow> rows);

}  // namespace ov
