#include "probe/duration.h"

#include <cmath>
#include <limits>

namespace ov::probe {
namespace {

constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;
constexpr std::uint64_t kNanosPerMilli = 1'000'000;

unsigned __int128 non_negative(std::chrono::nanoseconds elapsed) {
  return elapsed.count() > 0 ? static_cast<unsigned __int128>(elapsed.count()) : 0;
}

}  // namespace

unsigned __int128 Duration::total_nanos() const {
  return static_cast<unsigned __int128>(seconds) * kNanosPerSecond + nanos;
}

std::optional<int> poll_wait_ms(Duration limit, std::chrono::nanoseconds elapsed) {
  const unsigned __int128 total = limit.total_nanos();
  const unsigned __int128 spent = non_negative(elapsed);
  if (spent >= total) return std::nullopt;
  const unsigned __int128 remaining_ms = (total - spent) / kNanosPerMilli;
  if (remaining_ms == 0) return 1;
  if (remaining_ms > static_cast<unsigned __int128>(kLongestPollMs)) return kLongestPollMs;
  return static_cast<int>(remaining_ms);
}

timeval to_timeval(Duration limit) {
  constexpr auto kMaxSeconds = static_cast<std::uint64_t>(std::numeric_limits<time_t>::max());
  timeval out{};
  out.tv_sec = static_cast<time_t>(limit.seconds > kMaxSeconds ? kMaxSeconds : limit.seconds);
  out.tv_usec = static_cast<suseconds_t>(limit.nanos / 1000);
  if (limit.seconds == 0 && limit.nanos < 1000) out.tv_usec = 1;
  return out;
}

std::optional<Duration> duration_from_seconds(double seconds) {
  constexpr double kTwoTo64 = 18446744073709551616.0;
  if (!(seconds >= 0.0) || seconds >= kTwoTo64) return std::nullopt;
  if (seconds == 0.0) return Duration{};

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
  return Duration{static_cast<std::uint64_t>(whole),
                  static_cast<std::uint32_t>(total % 1'000'000'000u)};
}

unsigned __int128 whole_milliseconds(std::chrono::nanoseconds elapsed) {
  return non_negative(elapsed) / kNanosPerMilli;
}

}  // namespace ov::probe
