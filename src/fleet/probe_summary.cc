#include "fleet/probe_summary.h"

#include <algorithm>
#include <string_view>

namespace ov {
namespace {

// What a host may offer, as the summary counts it: its JSON key, its text
// name, and whether a report shows it.
struct Offer {
  std::string_view key;
  std::string_view name;
  bool (*shown)(const probe::ProbeReport& report);
};

constexpr std::array<Offer, 4> kOffers{{
    {"ssh", "ssh", [](const probe::ProbeReport& r) { return r.ssh_banner.has_value(); }},
    {"netconf", "netconf",
     [](const probe::ProbeReport& r) { return r.netconf_available.value_or(false); }},
    {"gnmi", "gnmi", [](const probe::ProbeReport& r) { return r.gnmi_available.value_or(false); }},
    {"restconf", "restconf",
     [](const probe::ProbeReport& r) { return r.restconf_available.value_or(false); }},
}};
constexpr Offer kNothing{"nothing_reachable", "nothing reachable", nullptr};

}  // namespace

void ProbeSummary::add(const probe::ProbeReport& report) {
  ++hosts_;
  bool any = false;
  for (std::size_t i = 0; i < kOffers.size(); ++i) {
    const bool shown = kOffers[i].shown(report);
    counts_[i] += shown ? 1 : 0;
    any = any || shown;
  }
  counts_.back() += any ? 0 : 1;
}

Json ProbeSummary::json() const {
  Json counts{{"hosts", hosts_}};
  for (std::size_t i = 0; i < kOffers.size(); ++i) counts[std::string(kOffers[i].key)] = counts_[i];
  counts[std::string(kNothing.key)] = counts_.back();
  return {{"summary", counts}};
}

std::string ProbeSummary::text() const {
  std::string line = "summary: " + std::to_string(hosts_) + (hosts_ == 1 ? " host: " : " hosts: ");
  for (std::size_t i = 0; i < kOffers.size(); ++i) {
    line += std::string(kOffers[i].name) + " " + std::to_string(counts_[i]) + ", ";
  }
  return line + std::string(kNothing.name) + " " + std::to_string(counts_.back()) + "\n";
}

}  // namespace ov
