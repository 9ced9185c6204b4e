#include "lookup/plan.h"

#include <optional>

#include "base/enum_table.h"
#include "catalog/firmware_version.h"
#include "catalog/version_range.h"
#include "fleet/report_document.h"
#include "lookup/cli_commands.h"
#include "lookup/entry_document.h"
#include "lookup/outcome_names.h"

namespace ov {
namespace {

bool found(const std::optional<bool>& available) { return available.value_or(false); }

// A protocol way of the block: the record's fields (null when the block has
// none) and its firmware_required.
struct Alternative {
  Json fields;
  const std::optional<std::string>* firmware_required = nullptr;
};

template <class T>
Alternative alternative(const std::optional<T>& record) {
  if (!record) return {};
  return {record_json(*record), &record->firmware_required};
}

// One protocol way: whether the probe found its port open, and the block's
// alternative for it.
struct ProtocolRule {
  Way way;
  bool (*open)(const probe::ProbeReport& report);
  Alternative (*of)(const ProtocolAlternatives& alternatives);
};

constexpr std::array<ProtocolRule, 4> kProtocolWays{{
    {Way::Netconf, [](const probe::ProbeReport& r) { return found(r.netconf_available); },
     [](const ProtocolAlternatives& a) { return alternative(a.netconf); }},
    {Way::Restconf, [](const probe::ProbeReport& r) { return found(r.restconf_available); },
     [](const ProtocolAlternatives& a) { return alternative(a.restconf); }},
    {Way::Gnmi, [](const probe::ProbeReport& r) { return found(r.gnmi_available); },
     [](const ProtocolAlternatives& a) { return alternative(a.gnmi); }},
    // eAPI is served by the switch's HTTPS server, on the port RESTCONF is probed on.
    {Way::Eapi, [](const probe::ProbeReport& r) { return found(r.restconf_available); },
     [](const ProtocolAlternatives& a) { return alternative(a.eapi); }},
}};
static_assert(indexed_by_enum(kProtocolWays, &ProtocolRule::way),
              "kProtocolWays must follow the Way order");

const ProtocolRule* protocol_rule(Way way) {
  const auto index = static_cast<std::size_t>(way);
  return index < kProtocolWays.size() ? &kProtocolWays[index] : nullptr;
}

// Whether `firmware` is within `required`: nullopt when the text does not
// read as a range (or the firmware as a version), so nothing was compared.
std::optional<bool> within(const std::optional<FirmwareVersion>& firmware,
                           const std::string& required) {
  const auto range = VersionRange::parse(required);
  if (!range || !firmware) return std::nullopt;
  return range->matches(*firmware);
}

// A vendor whose texts are calls of its cloud API, not CLI.
bool cloud_managed(const VendorFile* vendor) {
  return vendor != nullptr && vendor->protocol_capabilities.dashboard_api.has_value();
}

void add_protocol_ways(const probe::ProbeReport& report,
                       const std::optional<FirmwareVersion>& firmware, PlanRow& row) {
  const ProtocolAlternatives& alternatives = row.outcome->block->protocol_alternatives;
  for (const ProtocolRule& rule : kProtocolWays) {
    const Alternative alternative = rule.of(alternatives);
    if (alternative.fields.is_null()) continue;
    const std::optional<std::string>& required = *alternative.firmware_required;
    const std::optional<bool> in_range =
        required ? within(firmware, *required) : std::optional<bool>(true);
    if (in_range == false) {
      row.excluded.push_back({rule.way, *required});
    } else if (rule.open(report)) {
      row.ways.push_back({rule.way, in_range.has_value()});
    }
  }
}

Json protocol_way(const PlannedWay& way, const PlanRow& row) {
  Json entry{{"via", kWayNames[static_cast<std::size_t>(way.way)]}};
  entry.update(protocol_rule(way.way)->of(row.outcome->block->protocol_alternatives).fields);
  entry["firmware_checked"] = way.firmware_checked;
  return entry;
}

Json cli_way(const PlanRow& row, std::string_view vendor) {
  const CliCommands lines = cli_commands(vendor, row.type, row.text);
  Json session(nullptr);
  if (lines.session) {
    session = {{"enter", lines.session->enter},
               {"commit", lines.session->commit},
               {"leave", lines.session->leave}};
  }
  return {{"via", "cli"},
          {"cli", row.text},
          {"mode", kCliModeNames[static_cast<std::size_t>(lines.mode)]},
          {"commands", lines.commands},
          {"session", std::move(session)},
          {"unfilled", row.unfilled}};
}

Json way_json(const PlannedWay& way, const PlanRow& row, std::string_view vendor) {
  switch (way.way) {
    case Way::Cli:
      return cli_way(row, vendor);
    case Way::DashboardApi:
      return {{"via", "dashboard_api"}, {"call", row.text}, {"unfilled", row.unfilled}};
    default:
      return protocol_way(way, row);
  }
}

}  // namespace

std::vector<PlanRow> plan_rows(const probe::ProbeReport& report, const PlanInput& input) {
  const TableAnswer& answer = *input.answer;
  const auto parsed = FirmwareVersion::parse(answer.firmware_used);
  const std::optional<FirmwareVersion> firmware =
      parsed ? std::optional<FirmwareVersion>(*parsed) : std::nullopt;
  const bool cloud = cloud_managed(input.vendor);

  std::vector<PlanRow> rows;
  rows.reserve(answer.types.size());
  for (std::size_t i = 0; i < answer.types.size(); ++i) {
    const CommandType type = answer.types[i];
    const LookupOutcome& outcome = answer.outcomes[i];
    PlanRow row{type, &outcome, {}, {}, {}, {}};
    if (outcome.status == LookupStatus::Text) {
      Settings::PartlyFilled filled = input.settings->fill_known(outcome.entry->cli);
      row.text = std::move(filled.text);
      row.unfilled = std::move(filled.unfilled);
    }
    if (outcome.block != nullptr) add_protocol_ways(report, firmware, row);
    if (outcome.status == LookupStatus::Text) {
      if (cloud) {
        row.ways.push_back({Way::DashboardApi});
      } else if (report.ssh_banner.has_value()) {
        row.ways.push_back({Way::Cli});
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

Json plan_json(std::span<const PlanRow> rows, std::string_view vendor) {
  Json document = Json::array();
  for (const PlanRow& row : rows) {
    Json ways = Json::array();
    for (const PlannedWay& way : row.ways) ways.push_back(way_json(way, row, vendor));
    Json excluded = Json::array();
    for (const ExcludedWay& way : row.excluded) {
      excluded.push_back({{"via", kWayNames[static_cast<std::size_t>(way.way)]},
                          {"firmware_required", way.firmware_required}});
    }
    const bool text = row.outcome->status == LookupStatus::Text;
    document.push_back({{"type", kCommandTypes[static_cast<std::size_t>(row.type)].yaml},
                        {"status", outcome_name(row.outcome->status)},
                        {"cli", text ? Json(row.outcome->entry->cli) : Json(nullptr)},
                        {"ways", std::move(ways)},
                        {"excluded", std::move(excluded)}});
  }
  return document;
}

Json host_plan_document(const probe::ProbeReport& report, const StepPorts& ports,
                        std::span<const PlanRow> rows) {
  Json document = report_json(report);
  Json by_name = Json::object();
  for (std::size_t i = 0; i < ports.size(); ++i) {
    by_name[std::string(probe::kProbeSteps[i].skip_name)] = ports[i];
  }
  document["ports"] = std::move(by_name);
  document["plan"] = plan_json(rows, report.vendor);
  return document;
}

}  // namespace ov
