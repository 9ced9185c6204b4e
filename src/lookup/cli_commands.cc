#include "lookup/cli_commands.h"

#include <algorithm>
#include <array>
#include <span>

#include "base/utf8.h"

namespace ov {
namespace {

// A line that ends a configuration session's changes: committed where the
// vendor commits, and whether it also leaves configuration mode.
struct CommitLine {
  std::string_view line;
  bool leaves;
};

struct VendorSession {
  std::string_view vendor;
  std::string_view enter;
  std::string_view leave;
  // The first is the one a session without a stored commit uses.
  std::span<const CommitLine> commits;
};

constexpr std::array<CommitLine, 2> kJunosCommits{{{"commit", false}, {"commit and-quit", true}}};

// ProCurve's configuration context is left with "exit" (its stored texts
// close each context the same way); the others have "end" from any depth.
constexpr std::array<VendorSession, 6> kSessions{{
    {"arista_eos", "configure terminal", "end", {}},
    {"aruba_aoscx", "configure terminal", "end", {}},
    {"cisco_ios", "configure terminal", "end", {}},
    {"cisco_nxos", "configure terminal", "end", {}},
    {"hpe_procurve", "configure terminal", "exit", {}},
    {"juniper_junos", "configure", "exit", kJunosCommits},
}};

const VendorSession* session_of(std::string_view vendor) {
  const auto it = std::ranges::find(kSessions, vendor, &VendorSession::vendor);
  return it == kSessions.end() ? nullptr : &*it;
}

// The types that change the configuration; SAVE_CONFIG stores it and runs
// where the vendor saves (exec, or a commit).
bool changes_configuration(CommandType type) {
  return type >= CommandType::PortShutdown && type != CommandType::SaveConfig;
}

const CommitLine* commit_line(const VendorSession& session, std::string_view line) {
  const auto it = std::ranges::find(session.commits, line, &CommitLine::line);
  return it == session.commits.end() ? nullptr : &*it;
}

}  // namespace

std::vector<std::string> entry_commands(std::string_view cli) {
  std::vector<std::string> commands;
  while (!cli.empty()) {
    const std::size_t end = std::min(cli.find('\n'), cli.size());
    const std::string_view line = trim_white_space(cli.substr(0, end));
    if (!line.empty()) commands.emplace_back(line);
    cli.remove_prefix(std::min(end + 1, cli.size()));
  }
  return commands;
}

CliCommands cli_commands(std::string_view vendor, CommandType type, std::string_view cli) {
  CliCommands out;
  out.commands = entry_commands(cli);
  const VendorSession* vendor_session = session_of(vendor);
  if (vendor_session == nullptr) return out;
  const VendorSession& session = *vendor_session;
  std::vector<std::string>& lines = out.commands;

  const bool enters = !lines.empty() && lines.front() == session.enter;
  if (enters) lines.erase(lines.begin());
  const CommitLine* commit = lines.empty() ? nullptr : commit_line(session, lines.back());
  if (!enters && commit == nullptr && !changes_configuration(type)) return out;

  ConfigSession config{{std::string(session.enter)}, {}, {}};
  bool left = false;
  if (commit != nullptr) {
    config.commit.push_back(std::move(lines.back()));
    lines.pop_back();
    left = commit->leaves;
  } else if (enters && !lines.empty() && lines.back() == session.leave) {
    // The stored leaving line, as stored.
    config.leave.push_back(std::move(lines.back()));
    lines.pop_back();
    left = true;
  }
  if (commit == nullptr && !session.commits.empty()) {
    config.commit.emplace_back(session.commits.front().line);
  }
  if (!left) config.leave.emplace_back(session.leave);
  out.mode = CliMode::Config;
  out.session = std::move(config);
  return out;
}

}  // namespace ov
