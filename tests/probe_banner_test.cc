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
      {"SSH-2.0-a\nSSH-2.0-b\n", "SSH-2.0-a"},
      {"SSH-", "SSH-"},
      {"SSH-1.99-\0x\t \r\n"sv, "SSH-1.99-\0x\t "sv},  // nothing trimmed
      {"SSH-2.0-caf\xE9\n", "SSH-2.0-caf\xC3\xA9"},
      {"SSH-\x7F\x80\xBF\xC0\xFF", "SSH-\x7F\xC2\x80\xC2\xBF\xC3\x80\xC3\xBF"},
      {"ssh-2.0-lower\r\n", std::nullopt},
      {"SSH\r\n", std::nullopt},
      {" SSH-2.0-x\r\n", std::nullopt},
      {"\r\nSSH-2.0-x\r\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::string(row.received)));
    const auto banner = banner_from_bytes(row.received);
    ASSERT_EQ(banner.has_value(), row.banner.has_value());
    if (banner) {
      EXPECT_EQ(*banner, *row.banner);
    }
  }
}

// The outcome of read_ssh_banner against a scripted server: a banner, no
// banner, or an error text.
struct Outcome {
  enum class Kind { Banner, NoBanner, Error } kind;
  std::string text;
};
Outcome banner(std::string text) { return {Outcome::Kind::Banner, std::move(text)}; }
Outcome no_banner() { return {Outcome::Kind::NoBanner, {}}; }
Outcome error(std::string text) { return {Outcome::Kind::Error, std::move(text)}; }

TEST(ReadSshBanner, AgainstLoopbackServers) {
  using After = Script::After;
  const std::string first_256 = "SSH-" + std::string(252, 'x');
  struct Row {
    const char* name;
    Script script;
    Outcome expected;
  };
  const Row rows[] = {
      {"line with CRLF",
       {{"SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n"}, After::Hold},
       banner("SSH-2.0-OpenSSH_9.2p1 Debian-2")},
      {"line without end, then close",
       {{"SSH-2.0-dropbear"}, After::Close},
       banner("SSH-2.0-dropbear")},
      {"CR only, then silence",
       {{"SSH-2.0-x\r"}, After::Hold},
       error(fixtures::receive_timeout_text())},
      {"300 bytes without newline",
       {{"SSH-" + std::string(296, 'x')}, After::Hold},
       banner(first_256)},
      {"256 bytes in pieces, then silence",
       {{"SSH-" + std::string(100, 'x'), std::string(152, 'x')}, After::Hold},
       banner(first_256)},
      {"line in pieces",
       {{"SSH-2.0", "-Cisco", "-1.25\r\n"}, After::Hold},
       banner("SSH-2.0-Cisco-1.25")},
      {"text greeting", {{"220 ready\r\n"}, After::Hold}, no_banner()},
      {"accept and close", {{}, After::Close}, no_banner()},
      {"silence", {{}, After::Hold}, error(fixtures::receive_timeout_text())},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedServer server(row.script);
    ASSERT_TRUE(server.ok());
    const auto result = read_ssh_banner("127.0.0.1", server.port(), kShort);
    switch (row.expected.kind) {
      case Outcome::Kind::Banner:
        ASSERT_TRUE(result.has_value()) << result.error().text();
        ASSERT_TRUE(result->has_value());
        EXPECT_EQ(**result, row.expected.text);
        break;
      case Outcome::Kind::NoBanner:
        ASSERT_TRUE(result.has_value()) << result.error().text();
        EXPECT_FALSE(result->has_value());
        break;
      case Outcome::Kind::Error:
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().text(), row.expected.text);
        break;
    }
  }
}

TEST(ReadSshBanner, ConnectErrorsPassThrough) {
  fixtures::RefusedPort refused;
  const auto result = read_ssh_banner("127.0.0.1", refused.port(), kShort);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().text(), fixtures::refused_text());
}

}  // namespace
}  // namespace ov::probe
