#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "probe/ssh_banner.h"
#include "probe_servers.h"

namespace ov::probe {
namespace {

using namespace std::string_view_literals;
using fixtures::kShort;
using fixtures::Script;
using fixtures::ScriptedServer;

TEST(BannerFromBytes, FirstLineJudgedAndDecodedByteForByte) {
  struct Row {
    std::string_view received;
    std::optional<std::string_view> banner;
  };
  const Row rows[] = {
      {"SSH-2.0-OpenSSH_9.2p1\r\n", "SSH-2.0-OpenSSH_9.2p1"},
      {"SSH-", "SSH-"},
      {"SSH-1.99-\0x\t \r\n"sv, "SSH-1.99-\0x\t "sv},  // nothing trimmed
      {"SSH-2.0-caf\xE9\n", "SSH-2.0-caf\xC3\xA9"},
      {"SSH-\x7F\x80\xBF\xC0\xFF", "SSH-\x7F\xC2\x80\xC2\xBF\xC3\x80\xC3\xBF"},
      {"ssh-2.0-lower\r\n", std::nullopt},
      {" SSH-2.0-x\r\n", std::nullopt},
      {"\r\nSSH-2.0-x\r\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(banner_from_bytes(row.received), row.banner)
        << ::testing::PrintToString(std::string(row.received));
  }
}

// What the probe's loopback devices do not show: banners that arrive in
// pieces, at the length cap, or without their line end.
TEST(ReadSshBanner, AgainstLoopbackServers) {
  using After = Script::After;
  const std::string first_256 = "SSH-" + std::string(252, 'x');
  struct Row {
    const char* name;
    Script script;
    std::string banner;  // empty: the receive limit ran out
  };
  const Row rows[] = {
      {"line without end, then close", {{"SSH-2.0-dropbear"}, After::Close}, "SSH-2.0-dropbear"},
      {"CR only, then silence", {{"SSH-2.0-x\r"}, After::Hold}, ""},
      {"300 bytes without newline", {{"SSH-" + std::string(296, 'x')}, After::Hold}, first_256},
      {"256 bytes in pieces, then silence",
       {{"SSH-" + std::string(100, 'x'), std::string(152, 'x')}, After::Hold},
       first_256},
      {"line in pieces", {{"SSH-2.0", "-Cisco", "-1.25\r\n"}, After::Hold}, "SSH-2.0-Cisco-1.25"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedServer server(row.script);
    ASSERT_TRUE(server.ok());
    const auto result = read_ssh_banner("127.0.0.1", server.port(), kShort);
    if (row.banner.empty()) {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().text(), fixtures::receive_timeout_text());
    } else {
      ASSERT_TRUE(result.has_value()) << result.error().text();
      EXPECT_EQ(result->value_or("(none)"), row.banner);
    }
  }
}

}  // namespace
}  // namespace ov::probe
