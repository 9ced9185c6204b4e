// The hosts a probing subcommand is given: HOST arguments and --targets
// files, each target a host, a network or a last-octet range, expanded in
// the order given and each host probed once.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace CLI {
class App;
}

namespace ov::cli {

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
  // Adds the targets of a file's text, one per line; blank lines and "#"
  // comments are skipped. `name` and the line number say where a refusal is.
  std::expected<void, std::string> add_lines(std::string_view text, std::string_view name);

  std::vector<std::string> release() && { return std::move(hosts_); }

 private:
  std::vector<std::string> hosts_;
  std::unordered_set<std::string> seen_;
  std::vector<std::string> expanded_;  // reused for each target
};

struct TargetOptions {
  std::vector<std::string> hosts;
  std::vector<std::string> files;  // --targets, "-" for standard input
};

// HOST... and -T/--targets FILE (repeatable).
void add_target_options(CLI::App& app, TargetOptions& options);

// Every host, or the usage message that refuses a target or a file.
std::expected<std::vector<std::string>, std::string> gather_targets(const TargetOptions& options);

}  // namespace ov::cli
