// The hosts of a fleet: targets given one by one or as lines of text, each
// target a host, a network or a last-octet range, expanded in the order
// given and each host kept once.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace ov {

// Appends the hosts of one target to `hosts`: a host name or address as it
// is; an IPv4 network "192.0.2.0/24" (/16 to /32; without its network and
// broadcast addresses from /30 on down); an IPv6 network (/112 to /128); an
// IPv4 last-octet range "192.0.2.10-20". Fails with the reason a target is
// refused.
std::expected<void, std::string> expand_target(std::string_view target,
                                               std::vector<std::string>& hosts);

// The hosts of many targets, in order, each once.
class TargetList {
 public:
  // Adds `target`; fails with "WHERE: target 'T': reason" ("target 'T':
  // reason" for an empty `where`).
  std::expected<void, std::string> add(std::string_view target, std::string_view where);
  // Adds the target of one line, if any: blanks around it, a "#" comment and
  // a blank line are skipped.
  std::expected<void, std::string> add_line(std::string_view line, std::string_view where);
  // Adds the targets of a file's text, one per line. `name` and the line
  // number say where a refusal is: "NAME:LINE: target 'T': reason".
  std::expected<void, std::string> add_lines(std::string_view text, std::string_view name);

  bool empty() const { return hosts_.empty(); }
  std::vector<std::string> release() && { return std::move(hosts_); }

 private:
  std::vector<std::string> hosts_;
  std::unordered_set<std::string> seen_;
  std::vector<std::string> expanded_;  // reused for each target
};

}  // namespace ov
