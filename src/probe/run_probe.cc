#include "probe/run_probe.h"

#include "probe/probe_session.h"

namespace ov::probe {

ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip) {
  return run_probe(host, vendor, timeout, skip, kProbeSteps);
}

ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip, std::span<const ProbeStep> steps,
                      const AddressLookup& lookup) {
  ProbeSession session(host, vendor, timeout, skip, steps, lookup);
  drive(session);
  return session.take_report();
}

}  // namespace ov::probe
