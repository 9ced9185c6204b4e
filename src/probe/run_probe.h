// The protocol-capability probe: which management protocols a host answers
// on, over plain TCP, sending nothing.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "probe/duration.h"
#include "probe/probe_report.h"
#include "probe/probe_steps.h"
#include "probe/resolver.h"

namespace ov::probe {

// Runs every step of kProbeSteps (ports 22, 830, 9339, 443) not named in
// `skip`, one after the other, each connect and each receive limited by
// `timeout` (at least 1 ms). Never fails: failures become diagnostics lines.
ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip);

// The same over any step table and resolver, so the steps can be run against
// servers on other ports.
ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip, std::span<const ProbeStep> steps,
                      const AddressLookup& lookup = system_lookup());

}  // namespace ov::probe
