#include "lookup/cli_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

using Lines = std::vector<std::string>;

TEST(CliCommands, ModeAndSessionPerVendorAndText) {
  struct Row {
    std::string_view vendor;
    CommandType type;
    std::string_view cli;
    CliMode mode;
    Lines commands, enter, commit, leave;
  };
  const Row rows[] = {
      // A read runs in exec mode, a line each.
      {"cisco_ios", CommandType::Version, "show version\n show inventory\n", CliMode::Exec,
       {"show version", "show inventory"}, {}, {}, {}},
      // A change that does not enter configuration mode gets the vendor's session.
      {"cisco_ios", CommandType::PortShutdown, "interface Gi1/0/1\nshutdown\n", CliMode::Config,
       {"interface Gi1/0/1", "shutdown"}, {"configure terminal"}, {}, {"end"}},
      // One that does has its entering and leaving lines taken into it.
      {"arista_eos", CommandType::PortShutdown, "configure terminal\ninterface Et1\nshutdown\nend\n",
       CliMode::Config, {"interface Et1", "shutdown"}, {"configure terminal"}, {}, {"end"}},
      // ProCurve leaves with its last exit; the one closing the context stays.
      {"hpe_procurve", CommandType::PortShutdown, "configure terminal\ninterface 1\ndisable\nexit\nexit\n",
       CliMode::Config, {"interface 1", "disable", "exit"}, {"configure terminal"}, {}, {"exit"}},
      // Junos commits; a commit that quits leaves too.
      {"juniper_junos", CommandType::PortShutdown,
       "configure\nset interfaces ge-0/0/1 disable\ncommit and-quit\n", CliMode::Config,
       {"set interfaces ge-0/0/1 disable"}, {"configure"}, {"commit and-quit"}, {}},
      {"juniper_junos", CommandType::SaveConfig, "commit", CliMode::Config, {}, {"configure"},
       {"commit"}, {"exit"}},
      // Saving is exec where the vendor saves from exec.
      {"cisco_ios", CommandType::SaveConfig, "write memory", CliMode::Exec, {"write memory"}, {},
       {}, {}},
      // A vendor without a CLI session: its lines as they are.
      {"meraki_ms", CommandType::PortShutdown, "PUT /devices/{serial}/switch/ports/{portId}",
       CliMode::Exec, {"PUT /devices/{serial}/switch/ports/{portId}"}, {}, {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.vendor) + ": " + std::string(row.cli));
    const CliCommands lines = cli_commands(row.vendor, row.type, row.cli);
    EXPECT_EQ(lines.mode, row.mode);
    EXPECT_EQ(lines.commands, row.commands);
    ASSERT_EQ(lines.session.has_value(), row.mode == CliMode::Config);
    if (!lines.session) continue;
    EXPECT_EQ(lines.session->enter, row.enter);
    EXPECT_EQ(lines.session->commit, row.commit);
    EXPECT_EQ(lines.session->leave, row.leave);
  }
}

}  // namespace
}  // namespace ov
