// The per-operation time limit of the probe, from the float seconds callers
// give, and the arithmetic the socket calls need from it.
#pragma once

#include <sys/time.h>

#include <chrono>
#include <cstdint>
#include <optional>

namespace ov::probe {

// Connect deadlines and the probe's elapsed time use this clock: wall-clock
// jumps must not cut a wait short or stretch it.
using Clock = std::chrono::steady_clock;

// Whole seconds and nanoseconds (0 to 999,999,999).
struct Duration {
  std::uint64_t seconds = 0;
  std::uint32_t nanos = 0;

  bool is_zero() const { return seconds == 0 && nanos == 0; }
  // Exact: 2^64 seconds in nanoseconds still fits in 128 bits.
  unsigned __int128 total_nanos() const;
};

// The largest value `poll` takes as a wait in milliseconds.
inline constexpr int kLongestPollMs = 2'147'483'647;

// The next `poll` wait of a connect limited by `limit` that has run for
// `elapsed`: the remaining time in whole milliseconds, at least 1 (so a
// sub-millisecond rest does not spin) and at most kLongestPollMs. Nothing when
// `elapsed` is not less than `limit`, i.e. the deadline has passed.
std::optional<int> poll_wait_ms(Duration limit, std::chrono::nanoseconds elapsed);

// `limit` as a socket receive or send timeout. Requires a non-zero `limit`.
// Seconds are capped at the largest signed 64-bit value; a limit under one
// microsecond becomes one microsecond, because a zero timeval means "no
// timeout" to the kernel.
timeval to_timeval(Duration limit);

// The shortest probe timeout: anything below it probes with one millisecond.
inline constexpr double kShortestTimeout = 0.001;

// `seconds` rounded to the nearest nanosecond, ties to even. Nothing for NaN,
// negative values and values of 2^64 seconds or more.
std::optional<Duration> duration_from_seconds(double seconds);

// Whole milliseconds in `elapsed`, truncated (a negative value counts as 0).
unsigned __int128 whole_milliseconds(std::chrono::nanoseconds elapsed);

}  // namespace ov::probe
