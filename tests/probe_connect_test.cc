#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <utility>

#include "probe/net_error.h"
#include "probe/tcp_connect.h"
#include "probe_fake_lookup.h"
#include "probe_servers.h"

namespace ov::probe {
namespace {

using namespace std::chrono_literals;
using fixtures::DroppedPort;
using fixtures::FakeLookup;
using fixtures::kShort;
using fixtures::Script;
using fixtures::ScriptedServer;

// The stream is blocking and close-on-exec with both timeouts; a zero limit
// would mean none, and is refused.
TEST(TcpConnect, StreamFlagsAndTimeouts) {
  ScriptedServer server({{}, Script::After::Close});
  ASSERT_TRUE(server.ok());
  const Duration limit{0, 200'000'000};  // whole jiffies at every usual HZ
  const auto stream = tcp_connect("127.0.0.1", server.port(), limit);
  ASSERT_TRUE(stream.has_value()) << stream.error().text();
  EXPECT_NE(::fcntl(stream->get(), F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(::fcntl(stream->get(), F_GETFL) & O_NONBLOCK, 0);
  for (int option : {SO_RCVTIMEO, SO_SNDTIMEO}) {
    timeval value{};
    socklen_t size = sizeof value;
    ASSERT_EQ(::getsockopt(stream->get(), SOL_SOCKET, option, &value, &size), 0);
    EXPECT_EQ(std::pair(value.tv_sec, value.tv_usec), std::pair(0L, 200'000L)) << option;
  }
  const auto unlimited = tcp_connect("127.0.0.1", server.port(), Duration{});
  ASSERT_FALSE(unlimited.has_value());
  EXPECT_EQ(unlimited.error().text(), "cannot set a 0 duration timeout");
}

// Addresses are tried in the resolver's order, each with the whole limit;
// only the last failure is reported.
TEST(TcpConnect, AddressListInOrder) {
  ScriptedServer server({{}, Script::After::Hold});
  ASSERT_TRUE(server.ok());
  // 127.0.0.2 reaches the same host, but nothing listens there on this port.
  const FakeLookup lookup = FakeLookup::answering({{"127.0.0.2"}, {"unix"}, {"127.0.0.1"}});
  const auto stream = tcp_connect("lab", server.port(), kShort, lookup);
  EXPECT_TRUE(stream.has_value()) << stream.error().text();

  DroppedPort dropped;
  ASSERT_TRUE(dropped.ok()) << "could not fill the accept queue";
  struct Row {
    const char* name;
    FakeLookup lookup;
    std::string error;
  };
  const Row rows[] = {
      {"dropped, then refused", FakeLookup::answering({{"127.0.0.1"}, {"127.0.0.2"}}),
       fixtures::refused_text()},
      {"refused, then dropped", FakeLookup::answering({{"127.0.0.2"}, {"127.0.0.1"}}),
       "connection timed out"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto start = Clock::now();
    const auto failed = tcp_connect("lab", dropped.port(), kShort, row.lookup);
    ASSERT_FALSE(failed.has_value());
    EXPECT_EQ(failed.error().text(), row.error);
    EXPECT_GE(Clock::now() - start, 150ms);  // the dropped address had its whole limit
  }
}

}  // namespace
}  // namespace ov::probe
