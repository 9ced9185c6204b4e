// The protocol alternatives of a command block, in the order the vendor
// files list them: one table for every writer that names them.
#pragma once

#include <array>
#include <string_view>

#include "catalog/records.h"

namespace ov {

struct AlternativeInfo {
  std::string_view key;    // the vendor-file key
  std::string_view label;  // as people write it
  char code;               // in one-letter legends
  bool (*present)(const ProtocolAlternatives& alternatives);
};

namespace alternatives_detail {
template <auto Member>
bool has(const ProtocolAlternatives& alternatives) {
  return (alternatives.*Member).has_value();
}
}  // namespace alternatives_detail

inline constexpr std::array<AlternativeInfo, 7> kAlternatives{{
    {"netconf", "NETCONF", 'N', alternatives_detail::has<&ProtocolAlternatives::netconf>},
    {"restconf", "RESTCONF", 'R', alternatives_detail::has<&ProtocolAlternatives::restconf>},
    {"gnmi", "gNMI", 'G', alternatives_detail::has<&ProtocolAlternatives::gnmi>},
    {"eapi", "eAPI", 'E', alternatives_detail::has<&ProtocolAlternatives::eapi>},
    {"rest_api", "REST API", 'A', alternatives_detail::has<&ProtocolAlternatives::rest_api>},
    {"snmp", "SNMP", 'S', alternatives_detail::has<&ProtocolAlternatives::snmp>},
    {"dashboard_api", "Dashboard API", 'D',
     alternatives_detail::has<&ProtocolAlternatives::dashboard_api>},
}};

}  // namespace ov
