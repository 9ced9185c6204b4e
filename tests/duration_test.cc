#include "probe/duration.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace ov::probe {
namespace {

using namespace std::chrono_literals;

TEST(DurationFromSeconds, RoundsToTheNearestNanosecond) {
  struct Row {
    double seconds;
    std::uint64_t whole;
    std::uint32_t nanos;
  };
  const Row rows[] = {
      {0.001, 0, 1'000'000},
      {5.0, 5, 0},
      {0.5, 0, 500'000'000},
      {1.0000000005, 1, 1},  // just above the half: the nearest is up
      {2.9999999999, 3, 0},
      {0.9999999999999999, 1, 0},  // carries into the seconds
      {1e-10, 0, 0},
      {18446744073709549568.0, 18446744073709549568u, 0},  // largest double below 2^64
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.seconds);
    const auto duration = duration_from_seconds(row.seconds);
    ASSERT_TRUE(duration.has_value());
    EXPECT_EQ(duration->seconds, row.whole);
    EXPECT_EQ(duration->nanos, row.nanos);
  }
}

TEST(DurationFromSeconds, TiesGoToEven) {
  // k * 2^-10 s is exactly k * 976562.5 ns: every odd k is a tie.
  EXPECT_EQ(duration_from_seconds(std::ldexp(1.0, -10))->nanos, 976'562u);
  EXPECT_EQ(duration_from_seconds(std::ldexp(3.0, -10))->nanos, 2'929'688u);
  EXPECT_EQ(duration_from_seconds(std::ldexp(1.0, -31))->nanos, 0u);  // 0.47 ns
}

TEST(DurationFromSeconds, RefusesWhatCannotBeRepresented) {
  for (double seconds : {18446744073709551616.0, 1e30, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(), -1.0}) {
    SCOPED_TRACE(seconds);
    EXPECT_FALSE(duration_from_seconds(seconds).has_value());
  }
}

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

}  // namespace
}  // namespace ov::probe
