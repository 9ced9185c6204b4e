#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "probe/duration.h"
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
using fixtures::RefusedPort;
using fixtures::Script;
using fixtures::ScriptedServer;

TEST(DurationArithmetic, PollWaits) {
  struct Row {
    Duration limit;
    std::chrono::nanoseconds elapsed;
    std::optional<int> wait_ms;
  };
  const Row rows[] = {
      {{0, 1'000'000}, 0ns, 1},
      {{0, 1'000'000}, 999'999ns, 1},  // under a millisecond left: still wait 1
      {{0, 1'000'000}, 1ms, std::nullopt},
      {{2, 250'000'000}, 1250ms, 1000},
      {{2, 250'000'000}, -1ms, 2250},  // a clock going backwards counts as no time
      {{3'000'000, 0}, 0ns, kLongestPollMs},
      {{UINT64_MAX, 999'999'999}, 1h, kLongestPollMs},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.elapsed.count()));
    EXPECT_EQ(poll_wait_ms(row.limit, row.elapsed), row.wait_ms);
  }
}

TEST(DurationArithmetic, SocketTimeoutsAndElapsedMilliseconds) {
  struct Row {
    Duration limit;
    long seconds;
    long micros;
  };
  const Row rows[] = {
      {{0, 1'000'000}, 0, 1000},
      {{0, 999}, 0, 1},
      {{0, 1999}, 0, 1},
      {{1, 999}, 1, 0},
      {{7, 123'456'789}, 7, 123'456},
      {{UINT64_MAX, 0}, INT64_MAX, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.limit.seconds);
    SCOPED_TRACE(row.limit.nanos);
    const timeval value = to_timeval(row.limit);
    EXPECT_EQ(value.tv_sec, row.seconds);
    EXPECT_EQ(value.tv_usec, row.micros);
  }
  EXPECT_EQ(whole_milliseconds(999'999ns), 0u);
  EXPECT_EQ(whole_milliseconds(1'999'999ns), 1u);
  EXPECT_EQ(whole_milliseconds(-5ms), 0u);
}

TEST(TcpConnect, AcceptedStreamIsBlockingCloseOnExecWithBothTimeouts) {
  ScriptedServer server({{}, Script::After::Close});
  ASSERT_TRUE(server.ok());
  const Duration limit{0, 200'000'000};  // whole jiffies at every usual HZ
  const auto stream = tcp_connect("127.0.0.1", server.port(), limit);
  ASSERT_TRUE(stream.has_value()) << stream.error().text();
  EXPECT_NE(::fcntl(stream->get(), F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(::fcntl(stream->get(), F_GETFL) & O_NONBLOCK, 0);
  for (int option : {SO_RCVTIMEO, SO_SNDTIMEO}) {
    SCOPED_TRACE(option);
    timeval value{};
    socklen_t size = sizeof value;
    ASSERT_EQ(::getsockopt(stream->get(), SOL_SOCKET, option, &value, &size), 0);
    EXPECT_EQ(value.tv_sec, 0);
    EXPECT_EQ(value.tv_usec, 200'000);
  }
}

TEST(TcpConnect, IPv6Loopback) {
  ScriptedServer server({{}, Script::After::Close}, AF_INET6);
  if (!server.ok()) GTEST_SKIP() << "this machine has no IPv6 loopback";
  const auto stream = tcp_connect("::1", server.port(), kShort);
  EXPECT_TRUE(stream.has_value()) << stream.error().text();
}

TEST(TcpConnect, RefusedPort) {
  RefusedPort refused;
  const auto stream = tcp_connect("127.0.0.1", refused.port(), kShort);
  ASSERT_FALSE(stream.has_value());
  EXPECT_EQ(stream.error().text(), fixtures::refused_text());
}

TEST(TcpConnect, DroppedConnectionTimesOutAfterTheWholeLimit) {
  DroppedPort dropped;
  ASSERT_TRUE(dropped.ok()) << "could not fill the accept queue";
  const auto start = Clock::now();
  const auto stream = tcp_connect("127.0.0.1", dropped.port(), kShort);
  const auto elapsed = Clock::now() - start;
  ASSERT_FALSE(stream.has_value());
  EXPECT_EQ(stream.error().text(), "connection timed out");
  EXPECT_GE(elapsed, 150ms);
}

TEST(TcpConnect, ZeroLimitIsRefused) {
  ScriptedServer server({{}, Script::After::Close});
  ASSERT_TRUE(server.ok());
  const auto stream = tcp_connect("127.0.0.1", server.port(), Duration{});
  ASSERT_FALSE(stream.has_value());
  EXPECT_EQ(stream.error().text(), "cannot set a 0 duration timeout");
}

// Addresses are tried in the resolver's order, each with the whole limit;
// only the last failure is reported.
TEST(TcpConnect, AddressListInOrder) {
  ScriptedServer server({{}, Script::After::Hold});
  ASSERT_TRUE(server.ok());
  // 127.0.0.2 reaches the same host, but nothing listens there on this port.
  const FakeLookup lookup =
      FakeLookup::answering({{AF_INET, "127.0.0.2"}, {AF_UNIX, ""}, {AF_INET, "127.0.0.1"}});
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
      {"dropped, then refused",
       FakeLookup::answering({{AF_INET, "127.0.0.1"}, {AF_INET, "127.0.0.2"}}),
       fixtures::refused_text()},
      {"refused, then dropped",
       FakeLookup::answering({{AF_INET, "127.0.0.2"}, {AF_INET, "127.0.0.1"}}),
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
