#include "python/seconds.h"

#include <cmath>

namespace ov::py {

std::optional<SecondsAndNanos> duration_from_seconds(double seconds) {
  constexpr double kTwoTo64 = 18446744073709551616.0;
  if (!(seconds >= 0.0) || seconds >= kTwoTo64) return std::nullopt;
  if (seconds == 0.0) return SecondsAndNanos{};

  // Exact arithmetic on the binary value: seconds = mantissa * 2^exponent, so
  // nanoseconds = mantissa * 10^9 * 2^exponent, which fits in 128 bits below 2^64 s.
  int exponent = 0;
  const double fraction = std::frexp(seconds, &exponent);  // in [0.5, 1)
  const auto mantissa = static_cast<unsigned __int128>(std::ldexp(fraction, 53));
  exponent -= 53;
  unsigned __int128 total = mantissa * 1'000'000'000u;
  if (exponent >= 0) {
    total <<= exponent;
  } else if (-exponent >= 128) {
    total = 0;
  } else {
    const int shift = -exponent;
    const unsigned __int128 kept = total >> shift;
    const unsigned __int128 rest = total - (kept << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    total = kept + ((rest > half || (rest == half && (kept & 1) != 0)) ? 1 : 0);
  }
  const auto whole = total / 1'000'000'000u;
  if (whole > UINT64_MAX) return std::nullopt;
  return SecondsAndNanos{static_cast<std::uint64_t>(whole),
                         static_cast<std::uint32_t>(total % 1'000'000'000u)};
}

}  // namespace ov::py
