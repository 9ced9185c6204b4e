// The port each probe step tries: the step's well-known port unless one is
// set by name ("gnmi=6030"), or the vendor's documented default differs.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>

#include "base/failure.h"
#include "probe/probe_steps.h"

namespace ov {

// A port per step of probe::kProbeSteps, in their order.
using StepPorts = std::array<std::uint16_t, probe::kProbeSteps.size()>;

// Ports set by step name; the rest come from the vendor or the step.
class PortSettings {
 public:
  // "NAME=PORT". Refuses a name that is no probe step and a port that is not
  // a whole number from 1 to 65535, naming them.
  std::expected<void, Failure> set(std::string_view assignment);
  std::expected<void, Failure> set(std::string_view name, long long port);

  // The ports a host of `vendor` (a catalog identifier, or anything else for
  // no vendor's defaults) is probed on: those set, else the vendor's
  // documented default, else the well-known port.
  StepPorts ports_for(std::string_view vendor) const;

 private:
  std::array<std::optional<std::uint16_t>, probe::kProbeSteps.size()> given_;
};

// `steps` with `ports`, every other part of each step as it is.
std::array<probe::ProbeStep, probe::kProbeSteps.size()> steps_on(const StepPorts& ports);

}  // namespace ov
