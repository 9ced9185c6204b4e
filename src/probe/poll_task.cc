#include "probe/poll_task.h"

#include <poll.h>

#include <cerrno>

namespace ov::probe {

bool wait_once(const Readiness& wait, short& revents, std::optional<NetError>& failure) {
  pollfd entry{wait.fd, wait.events, 0};
  const int ready = ::poll(&entry, 1, wait.wait_ms);
  if (ready < 0) {
    // A signal cut the wait short; the task's deadline stays where it was.
    if (errno != EINTR) failure = NetError::last_system_error();
    return false;
  }
  revents = entry.revents;
  return ready > 0;
}

}  // namespace ov::probe
