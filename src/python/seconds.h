// Float seconds to a whole-nanosecond duration, as `probe_device` takes its
// timeout. Plain C++.
#pragma once

#include <cstdint>
#include <optional>

namespace ov::py {

struct SecondsAndNanos {
  std::uint64_t seconds = 0;
  std::uint32_t nanos = 0;
};

// The shortest probe timeout: anything below it probes with one millisecond.
inline constexpr double kShortestTimeout = 0.001;

// Rounds `seconds` (finite or not) to the nearest nanosecond, ties to even.
// Returns nullopt for NaN, negative values and values of 2^64 seconds or more.
std::optional<SecondsAndNanos> duration_from_seconds(double seconds);

}  // namespace ov::py
