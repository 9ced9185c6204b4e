#include "fleet/descriptor_budget.h"

#include <sys/resource.h>

#include <algorithm>

namespace ov {
namespace {

// A probe holds its socket and, while resolving a name, perhaps one more.
constexpr rlim_t kPerProbe = 2;
// Standard streams and whatever the libraries keep open.
constexpr rlim_t kReserve = 16;

}  // namespace

std::size_t probes_within_descriptor_limit(std::size_t wanted) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return wanted;
  const rlim_t needed = static_cast<rlim_t>(wanted) * kPerProbe + kReserve;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed) {
    const rlim_t raised =
        limit.rlim_max == RLIM_INFINITY ? needed : std::min(limit.rlim_max, needed);
    if (raised > limit.rlim_cur) {
      rlimit wider = limit;
      wider.rlim_cur = raised;
      if (::setrlimit(RLIMIT_NOFILE, &wider) == 0) limit = wider;
    }
  }
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed) return wanted;
  const rlim_t room = limit.rlim_cur > kReserve ? (limit.rlim_cur - kReserve) / kPerProbe : 0;
  return std::clamp<std::size_t>(static_cast<std::size_t>(room), 1, wanted);
}

}  // namespace ov
