#include "lookup/plan.h"

#include <optional>

#include "base/enum_table.h"
#include "catalog/command_type.h"
#include "fleet/report_document.h"
#include "lookup/entry_document.h"
#include "lookup/outcome_names.h"

namespace ov {
namespace {

bool found(const std::optional<bool>& available) { return available.value_or(false); }

template <class T>
Json record_way(const std::optional<T>& record) {
  return record ? record_json(*record) : Json(nullptr);
}

// One way: whether the probe found its transport open, and its fields for an
// outcome (null when the catalog has none).
struct WayRule {
  Way way;
  bool (*open)(const probe::ProbeReport& report);
  Json (*fields)(const LookupOutcome& outcome);
};

constexpr std::array<WayRule, 4> kWays{{
    {Way::Netconf, [](const probe::ProbeReport& r) { return found(r.netconf_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.netconf); }},
    {Way::Restconf, [](const probe::ProbeReport& r) { return found(r.restconf_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.restconf); }},
    {Way::Gnmi, [](const probe::ProbeReport& r) { return found(r.gnmi_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.gnmi); }},
    {Way::Cli, [](const probe::ProbeReport& r) { return r.ssh_banner.has_value(); },
     [](const LookupOutcome& o) {
       return o.status == LookupStatus::Text ? Json{{"cli", o.entry->cli}} : Json(nullptr);
     }},
}};
static_assert(indexed_by_enum(kWays, &WayRule::way), "kWays must follow the Way order");

const WayRule& rule(Way way) { return kWays[static_cast<std::size_t>(way)]; }

}  // namespace

std::vector<PlanRow> plan_rows(const probe::ProbeReport& report,
                               std::span<const LookupOutcome> outcomes) {
  std::vector<PlanRow> rows;
  rows.reserve(outcomes.size());
  for (const LookupOutcome& outcome : outcomes) {
    PlanRow row{&outcome, {}};
    for (const WayRule& way : kWays) {
      if (outcome.block == nullptr || !way.open(report)) continue;
      if (!way.fields(outcome).is_null()) row.ways.push_back(way.way);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

Json plan_json(std::span<const PlanRow> rows) {
  Json document = Json::array();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const LookupOutcome& outcome = *rows[i].outcome;
    Json ways = Json::array();
    for (const Way way : rows[i].ways) {
      Json entry{{"via", kWayNames[static_cast<std::size_t>(way)]}};
      entry.update(rule(way).fields(outcome));
      ways.push_back(std::move(entry));
    }
    const bool text = outcome.status == LookupStatus::Text;
    document.push_back({{"type", kCommandTypes[i].yaml},
                        {"status", outcome_name(outcome.status)},
                        {"cli", text ? Json(outcome.entry->cli) : Json(nullptr)},
                        {"ways", std::move(ways)}});
  }
  return document;
}

Json host_plan_document(const probe::ProbeReport& report, std::span<const PlanRow> rows) {
  Json document = report_json(report);
  document["plan"] = plan_json(rows);
  return document;
}

}  // namespace ov
