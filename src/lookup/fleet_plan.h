// Plans of a fleet: each host probed, then planned against the catalog's
// answers for its vendor and firmware, in host order. `vantrel plan` and the
// package's plan() both run this.
#pragma once

#include <cstddef>
#include <expected>
#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/json.h"
#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "fleet/fleet_probe.h"
#include "fleet/probe_ports.h"
#include "lookup/every_type.h"
#include "lookup/placeholders.h"
#include "lookup/plan.h"

namespace ov {

struct PlanHost {
  std::string host;
  std::string vendor;    // identifier or alias
  std::string firmware;  // as given
  Settings values;       // for its placeholders
};

struct FleetPlanOptions {
  bool exact_firmware = false;
  std::vector<CommandType> types;  // in command-type order; every type when empty
  PortSettings ports;
  probe::Duration timeout{};
  std::size_t jobs = 1;  // within the open-file budget already
};

// One host's plan. Its rows point into the FleetPlan's answers.
struct HostPlan {
  probe::ProbeReport report;  // names the catalog's vendor and the firmware as given
  StepPorts ports;
  std::vector<PlanRow> rows;
};

class FleetPlan {
 public:
  // Refuses, before anything is probed, what answer_table refuses for any
  // host's vendor and firmware; the probes start on success.
  static std::expected<std::unique_ptr<FleetPlan>, Failure> start(const Catalog& catalog,
                                                                  std::vector<PlanHost> hosts,
                                                                  FleetPlanOptions options);

  // The probes, whose reports come in host order; each is planned by plan().
  FleetProbe& probe() { return *fleet_; }

  // The plan of the next host, from its report.
  HostPlan plan(probe::ProbeReport report);

  // How many of the answers' command types have an applies_to that does not
  // parse, over every distinct vendor and firmware.
  std::size_t malformed() const;

 private:
  FleetPlan() = default;

  const Catalog* catalog_ = nullptr;
  std::vector<PlanHost> hosts_;
  std::vector<TableAnswer> answers_;  // one per distinct vendor and firmware
  std::vector<std::size_t> answer_of_;
  FleetPlanOptions options_;
  std::size_t next_ = 0;
  std::unique_ptr<FleetProbe> fleet_;  // last: stopped before the rest goes
};

// The document of one host: host_plan_document's.
Json host_plan_json(const HostPlan& plan);

}  // namespace ov
