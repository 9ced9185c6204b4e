#include "probe/duration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ov::probe {
namespace {

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

}  // namespace
}  // namespace ov::probe
