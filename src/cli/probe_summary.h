// The --summary of a probing run: how many hosts offer each protocol.
#pragma once

#include <array>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

#include "probe/probe_report.h"

namespace CLI {
class App;
}

namespace ov::cli {

class ProbeSummary {
 public:
  void add(const probe::ProbeReport& report);

  // {"summary": {"hosts", "ssh", "netconf", "gnmi", "restconf", "nothing_reachable"}}
  nlohmann::ordered_json json() const;
  // "summary: 3 hosts: ssh 1, netconf 0, gnmi 2, restconf 0, nothing reachable 1"
  std::string text() const;

 private:
  std::size_t hosts_ = 0;
  std::array<std::size_t, 5> counts_{};  // in the order of kSummaryNames
};

// After the reports: the summary line, or under --json its final object.
void write_summary(const ProbeSummary& summary, bool json);

// The --summary flag.
void add_summary_flag(CLI::App& app, bool& summary);

}  // namespace ov::cli
