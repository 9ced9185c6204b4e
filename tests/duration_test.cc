#include "probe/duration.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace ov::probe {
namespace {

using namespace std::chrono_literals;

TEST(DurationFromSeconds, RoundsToTheNearestNanosecondTiesToEven) {
  const std::pair<double, Duration> rows[] = {
      {0.001, {0, 1'000'000}},
      {5.0, {5, 0}},
      {1.0000000005, {1, 1}},        // just above the half: the nearest is up
      {0.9999999999999999, {1, 0}},  // carries into the seconds
      {1e-10, {0, 0}},
      {18446744073709549568.0, {18446744073709549568u, 0}},  // largest double below 2^64
      // k * 2^-10 s is exactly k * 976562.5 ns: every odd k is a tie.
      {std::ldexp(1.0, -10), {0, 976'562}},
      {std::ldexp(3.0, -10), {0, 2'929'688}},
  };
  for (const auto& [seconds, expected] : rows) {
    SCOPED_TRACE(seconds);
    const auto duration = duration_from_seconds(seconds);
    ASSERT_TRUE(duration.has_value());
    EXPECT_EQ(std::pair(duration->seconds, duration->nanos),
              std::pair(expected.seconds, expected.nanos));
  }
  for (double seconds : {18446744073709551616.0, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(), -1.0}) {
    EXPECT_FALSE(duration_from_seconds(seconds).has_value()) << seconds;
  }
}

TEST(DurationArithmetic, PollWaitsSocketTimeoutsAndElapsedMilliseconds) {
  struct Row {
    Duration limit;
    std::chrono::nanoseconds elapsed;
    std::optional<int> wait_ms;
  };
  const Row waits[] = {
      {{0, 1'000'000}, 999'999ns, 1},  // under a millisecond left: still wait 1
      {{0, 1'000'000}, 1ms, std::nullopt},
      {{2, 250'000'000}, 1250ms, 1000},
      {{2, 250'000'000}, -1ms, 2250},  // a clock going backwards counts as no time
      {{UINT64_MAX, 999'999'999}, 1h, kLongestPollMs},
  };
  for (const auto& row : waits) {
    EXPECT_EQ(poll_wait_ms(row.limit, row.elapsed), row.wait_ms) << row.elapsed.count();
  }
  const std::pair<Duration, std::pair<long, long>> timeouts[] = {
      {{0, 999}, {0, 1}},  // never zero: that would mean no timeout at all
      {{0, 1999}, {0, 1}},
      {{1, 999}, {1, 0}},
      {{7, 123'456'789}, {7, 123'456}},
      {{UINT64_MAX, 0}, {INT64_MAX, 0}},
  };
  for (const auto& [limit, expected] : timeouts) {
    const timeval value = to_timeval(limit);
    EXPECT_EQ((std::pair<long, long>(value.tv_sec, value.tv_usec)), expected) << limit.nanos;
  }
  EXPECT_EQ(whole_milliseconds(1'999'999ns), 1u);
  EXPECT_EQ(whole_milliseconds(-5ms), 0u);
}

}  // namespace
}  // namespace ov::probe
