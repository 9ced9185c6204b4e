#include "probe/run_probe.h"

#include <chrono>

#include "probe/ssh_banner.h"
#include "probe/tcp_connect.h"

namespace ov::probe {
namespace {

// Runs one step and records its outcome in `report`.
void run_step(const ProbeStep& step, std::string_view host, Duration timeout,
              const AddressLookup& lookup, ProbeReport& report) {
  bool available = false;
  switch (step.operation) {
    case StepOperation::ReadBanner: {
      auto banner = read_ssh_banner(host, step.port, timeout, lookup);
      if (!banner) {
        report.diagnostics.push_back(failure_line(step, banner.error()));
      } else if (!*banner) {
        report.diagnostics.push_back(no_banner_line(step));
      } else {
        available = true;
        if (step.keeps_banner) report.ssh_banner = std::move(**banner);
      }
      break;
    }
    case StepOperation::Connect: {
      // The stream closes as it goes out of scope: the connection is enough.
      const auto stream = tcp_connect(host, step.port, timeout, lookup);
      if (!stream) {
        report.diagnostics.push_back(failure_line(step, stream.error()));
      } else {
        available = true;
      }
      break;
    }
  }
  if (step.flag != nullptr) report.*step.flag = available;
}

}  // namespace

ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip) {
  return run_probe(host, vendor, timeout, skip, kProbeSteps);
}

ProbeReport run_probe(std::string_view host, std::string_view vendor, Duration timeout,
                      std::span<const std::string> skip, std::span<const ProbeStep> steps,
                      const AddressLookup& lookup) {
  const Clock::time_point start = Clock::now();
  ProbeReport report;
  report.host = host;
  report.vendor = vendor;
  for (const ProbeStep& step : steps) {
    if (!is_skipped(step.skip_name, skip)) run_step(step, host, timeout, lookup, report);
  }
  report.elapsed_ms = whole_milliseconds(
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start));
  return report;
}

}  // namespace ov::probe
