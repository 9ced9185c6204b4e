// The probe's network operations as steps of a poll loop, so that one thread
// can wait on many of them at once and a lone caller can still run one to
// its end.
#pragma once

#include <concepts>
#include <optional>

#include "probe/duration.h"
#include "probe/net_error.h"

namespace ov::probe {

// What a task waits for next: `events` on `fd` (no descriptor when `fd` is
// negative) for at most `wait_ms` milliseconds.
struct Readiness {
  int fd = -1;
  short events = 0;
  int wait_ms = 0;
};

// The contract every task keeps, whether driven alone or beside others:
// next() is asked first and again after every wake-up, and it alone judges
// deadlines, so a wait that ran out, or ended early, is simply asked again.
template <class Task>
concept PollDriven = requires(Task& task, Clock::time_point now, short revents, const NetError& e) {
  { task.next(now) } -> std::same_as<std::optional<Readiness>>;  // nothing once finished
  task.on_ready(revents, now);  // poll reported `revents` on the awaited descriptor
  task.on_poll_failure(e);      // poll itself failed while the task waited
};

// One wait of a lone task: true when the descriptor is ready (`revents`
// set), false when the wait ran out or a signal cut it short.
bool wait_once(const Readiness& wait, short& revents, std::optional<NetError>& failure);

// Runs `task` on the calling thread until it is finished.
template <PollDriven Task>
void drive(Task& task) {
  while (const std::optional<Readiness> wait = task.next(Clock::now())) {
    short revents = 0;
    std::optional<NetError> failure;
    if (wait_once(*wait, revents, failure)) {
      task.on_ready(revents, Clock::now());
    } else if (failure) {
      task.on_poll_failure(*failure);
    }
  }
}

}  // namespace ov::probe
