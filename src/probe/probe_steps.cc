#include "probe/probe_steps.h"

#include <algorithm>

#include "base/ascii.h"

namespace ov::probe {
namespace {

std::string line_start(const ProbeStep& step) {
  return std::string(step.prefix) + std::to_string(step.port);
}

}  // namespace

bool is_skipped(std::string_view skip_name, std::span<const std::string> skip) {
  return std::ranges::any_of(
      skip, [&](const std::string& entry) { return equals_ignoring_ascii_case(entry, skip_name); });
}

std::string no_banner_line(const ProbeStep& step) {
  return line_start(step) + std::string(step.no_banner);
}

std::string failure_line(const ProbeStep& step, const NetError& error) {
  return line_start(step) + " " + error.text();
}

}  // namespace ov::probe
