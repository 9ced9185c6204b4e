#include "lookup/fleet_plan.h"

#include <algorithm>

namespace ov {
std::expected<std::unique_ptr<FleetPlan>, Failure> FleetPlan::start(const Catalog& catalog,
                                                                    std::vector<PlanHost> hosts,
                                                                    FleetPlanOptions options) {
  std::unique_ptr<FleetPlan> plan(new FleetPlan());
  plan->catalog_ = &catalog;
  if (options.types.empty()) options.types = *select_command_types({});
  // Hosts of one vendor and firmware share the catalog's answers.
  struct Key {
    std::string_view vendor, firmware;
  };
  std::vector<Key> keys;
  std::vector<FleetHost> fleet;
  fleet.reserve(hosts.size());
  for (const PlanHost& host : hosts) {
    const auto known = std::ranges::find_if(keys, [&](const Key& key) {
      return key.vendor == host.vendor && key.firmware == host.firmware;
    });
    const auto index = static_cast<std::size_t>(known - keys.begin());
    if (known == keys.end()) {
      auto answer = answer_table(catalog, host.vendor, host.firmware, options.exact_firmware, {},
                                 options.types);
      if (!answer) return std::unexpected(answer.error());
      keys.push_back({host.vendor, host.firmware});
      plan->answers_.push_back(std::move(*answer));
    }
    plan->answer_of_.push_back(index);
    const std::string& vendor = plan->answers_[index].vendor;
    fleet.push_back({host.host, vendor, options.ports.ports_for(vendor)});
  }
  plan->hosts_ = std::move(hosts);
  plan->fleet_ = std::make_unique<FleetProbe>(std::move(fleet), options.timeout,
                                              std::vector<std::string>{}, options.jobs);
  plan->options_ = std::move(options);
  return plan;
}

HostPlan FleetPlan::plan(probe::ProbeReport report) {
  const std::size_t index = next_++;
  const PlanHost& host = hosts_[index];
  const TableAnswer& answer = answers_[answer_of_[index]];
  report.firmware = host.firmware;
  const PlanInput input{&answer, catalog_->find(answer.vendor), &host.values};
  std::vector<PlanRow> rows = plan_rows(report, input);
  const StepPorts ports = options_.ports.ports_for(answer.vendor);
  return {std::move(report), ports, std::move(rows)};
}

std::size_t FleetPlan::malformed() const {
  std::size_t count = 0;
  for (const TableAnswer& answer : answers_) count += answer.malformed;
  return count;
}

Json host_plan_json(const HostPlan& plan) {
  return host_plan_document(plan.report, plan.ports, plan.rows);
}

}  // namespace ov
