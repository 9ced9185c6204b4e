// The summary of a probing run: how many hosts offer each protocol.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "base/json.h"
#include "probe/probe_report.h"

namespace ov {

class ProbeSummary {
 public:
  void add(const probe::ProbeReport& report);

  // {"summary": {"hosts", "ssh", "netconf", "gnmi", "restconf", "nothing_reachable"}}
  Json json() const;
  // "summary: 3 hosts: ssh 1, netconf 0, gnmi 2, restconf 0, nothing reachable 1"
  std::string text() const;

 private:
  std::size_t hosts_ = 0;
  std::array<std::size_t, 5> counts_{};  // in the order of kOffers, then nothing reachable
};

}  // namespace ov
