#include "cli/plan.h"

#include <optional>

#include "catalog/command_type.h"
#include "cli/outcome_table.h"

namespace ov::cli {
namespace {

bool found(const std::optional<bool>& available) { return available.value_or(false); }

template <class T>
Json record_way(const std::optional<T>& record) {
  return record ? fields_json(*record) : Json(nullptr);
}

// One way: whether the probe found its transport open, and its fields for an
// outcome (null when the catalog has none).
struct WayRule {
  std::string_view via;
  bool (*open)(const probe::ProbeReport& report);
  Json (*fields)(const LookupOutcome& outcome);
};

constexpr std::array<WayRule, 4> kWays{{
    {"netconf", [](const probe::ProbeReport& r) { return found(r.netconf_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.netconf); }},
    {"restconf", [](const probe::ProbeReport& r) { return found(r.restconf_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.restconf); }},
    {"gnmi", [](const probe::ProbeReport& r) { return found(r.gnmi_available); },
     [](const LookupOutcome& o) { return record_way(o.block->protocol_alternatives.gnmi); }},
    {"cli", [](const probe::ProbeReport& r) { return r.ssh_banner.has_value(); },
     [](const LookupOutcome& o) {
       return o.status == LookupStatus::Text ? Json{{"cli", o.entry->cli}} : Json(nullptr);
     }},
}};

constexpr bool in_documented_order() {
  for (std::size_t i = 0; i < kWays.size(); ++i) {
    if (kWays[i].via != kWayOrder[i]) return false;
  }
  return true;
}
static_assert(in_documented_order(), "kWays must follow kWayOrder");

}  // namespace

Json plan_json(const probe::ProbeReport& report, std::span<const LookupOutcome> outcomes) {
  Json rows = Json::array();
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const LookupOutcome& outcome = outcomes[i];
    Json ways = Json::array();
    for (const WayRule& way : kWays) {
      if (outcome.block == nullptr || !way.open(report)) continue;
      Json fields = way.fields(outcome);
      if (fields.is_null()) continue;
      Json entry{{"via", way.via}};
      entry.update(fields);
      ways.push_back(std::move(entry));
    }
    const bool text = outcome.status == LookupStatus::Text;
    rows.push_back({{"type", kCommandTypes[i].yaml},
                    {"status", info(outcome.status).name},
                    {"cli", text ? Json(outcome.entry->cli) : Json(nullptr)},
                    {"ways", std::move(ways)}});
  }
  return rows;
}

}  // namespace ov::cli
