#include "fleet/probe_pool.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "base/unique_fd.h"

namespace ov {
namespace {

// A host's outcome: its report or the failure of its probe, neither while
// the probe runs.
struct Slot {
  std::optional<probe::ProbeReport> report;
  std::exception_ptr failure;

  bool done() const { return report.has_value() || failure != nullptr; }
};

// A probe in progress on a worker, and the host it is for.
struct Live {
  std::size_t index;
  std::unique_ptr<probe::ProbeTask> task;
};

// A worker thread with a small stack, joined when it goes. Thousands of
// threads may wait at once (one probe each when hosts need the resolver),
// each a few frames deep: the default stacks (8 MiB of address space each)
// would run into the process's address-space and mapping limits long before
// the probes do.
class Worker {
 public:
  static constexpr std::size_t kStackBytes = 256 * 1024;

  // Starts `body(context)`; nullopt when no thread could be started.
  static std::optional<Worker> start(void* (*body)(void*), void* context) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return std::nullopt;
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_t thread{};
    const int error = pthread_create(&thread, &attributes, body, context);
    pthread_attr_destroy(&attributes);
    if (error != 0) return std::nullopt;
    return Worker(thread);
  }

  Worker(Worker&& other) noexcept : thread_(std::exchange(other.thread_, std::nullopt)) {}
  Worker& operator=(Worker&&) = delete;
  ~Worker() {
    if (thread_) pthread_join(*thread_, nullptr);
  }

 private:
  explicit Worker(pthread_t thread) : thread_(thread) {}
  std::optional<pthread_t> thread_;
};

}  // namespace

class ProbeRun::Pool {
 public:
  Pool(std::size_t count, std::size_t jobs, std::size_t per_thread, ProbeStart start)
      : slots_(count), start_(std::move(start)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (count == 0) return;
    wanted_ = std::clamp<std::size_t>(jobs, 1, count);
    const std::size_t per = std::max<std::size_t>(per_thread, 1);
    threads_ = (wanted_ + per - 1) / per;
    workers_.reserve(threads_);
    for (std::size_t i = 0; i < threads_; ++i) {
      auto worker = Worker::start(
          [](void* pool) -> void* {
            static_cast<Pool*>(pool)->work_share();
            return nullptr;
          },
          this);
      if (!worker) break;  // the threads that did start carry the rest of the hosts
      workers_.push_back(std::move(*worker));
    }
    alone_ = workers_.empty();
  }

  // The workers end before the pool's state goes.
  ~Pool() {
    stop();
    workers_.clear();
  }

  std::optional<probe::ProbeReport> next(
      const std::function<void(std::size_t, std::size_t)>& progress) {
    if (alone_) {
      // No thread could be started: every probe at once, on this thread.
      alone_ = false;
      work(wanted_);
    }
    std::unique_lock lock(mutex_);
    while (delivered_ < slots_.size() && !abandoned_) {
      changed_.wait(lock, [&] {
        return abandoned_ || finished_ != reported_ || slots_[delivered_].done();
      });
      if (abandoned_) break;
      if (finished_ != reported_) {
        reported_ = finished_;
        lock.unlock();
        if (progress) progress(reported_, slots_.size());
        lock.lock();
        continue;
      }
      Slot slot = std::move(slots_[delivered_++]);
      if (slot.failure) {
        lock.unlock();
        stop();
        std::rethrow_exception(slot.failure);
      }
      return std::move(slot.report);
    }
    return std::nullopt;
  }

  void stop() {
    stopping_.store(true);
    {
      const std::lock_guard lock(mutex_);
      abandoned_ = true;
    }
    changed_.notify_all();
    // Every worker's poll watches this descriptor: they wake at once.
    if (wake_.valid()) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t written = ::write(wake_.get(), &one, sizeof one);
    }
  }

 private:
  // Runs the probes of the next worker's share until no host is left or the
  // run stops.
  void work_share() {
    const std::size_t share = shares_.fetch_add(1);
    work(wanted_ / threads_ + (share < wanted_ % threads_ ? 1 : 0));
  }

  void work(std::size_t capacity) {
    std::vector<Live> live;
    try {
      run(live, capacity);
    } catch (...) {
      // The worker itself failed: every probe on it ends here, each host
      // carrying the failure.
      for (const Live& probe : live) {
        if (probe.task) fail(probe.index);
      }
    }
  }

  // Fills free places with new hosts, unless the run is stopping.
  void admit(std::vector<Live>& live, std::size_t capacity) {
    while (live.size() < capacity && !stopping_.load()) {
      const std::size_t index = next_.fetch_add(1);
      if (index >= slots_.size()) return;
      try {
        live.push_back({index, start_(index)});
      } catch (...) {
        fail(index);
      }
    }
  }

  // Asks every live probe what it waits for, finishing those that are done.
  // Returns whether a place became free.
  bool collect(std::vector<Live>& live, std::vector<pollfd>& waits, int& wait_ms) {
    waits.clear();
    wait_ms = probe::kLongestPollMs;
    bool freed = false;
    const probe::Clock::time_point now = probe::Clock::now();
    for (std::size_t i = 0; i < live.size();) {
      std::optional<probe::Readiness> wait;
      if (live[i].task) {
        try {
          wait = live[i].task->next(now);
          if (!wait) finish(live[i].index, Slot{live[i].task->take_report(), nullptr});
        } catch (...) {
          fail(live[i].index);
        }
      }
      if (wait) {
        waits.push_back({wait->fd, wait->events, 0});
        wait_ms = std::min(wait_ms, wait->wait_ms);
        ++i;
      } else {
        live[i] = std::move(live.back());
        live.pop_back();
        freed = true;
      }
    }
    return freed;
  }

  // Hands what poll saw to each probe.
  void dispatch(std::vector<Live>& live, const std::vector<pollfd>& waits, int ready,
                const probe::NetError& error) {
    const probe::Clock::time_point woke = probe::Clock::now();
    for (std::size_t i = 0; ready != 0 && i < live.size(); ++i) {
      if (ready > 0 && waits[i].revents == 0) continue;
      try {
        if (ready > 0) {
          live[i].task->on_ready(waits[i].revents, woke);
        } else {
          live[i].task->on_poll_failure(error);
        }
      } catch (...) {
        fail(live[i].index);
        live[i].task.reset();  // removed when the next round collects the waits
      }
    }
  }

  // One poll over every live probe per round; a probe that finishes frees
  // its place for the next host before anything waits again. A probe that
  // throws ends alone, its host carrying the failure; the run stops taking
  // hosts, and the probes beside it run to their end. Once the run is
  // abandoned, the live probes are dropped.
  void run(std::vector<Live>& live, std::size_t capacity) {
    std::vector<pollfd> waits;
    for (;;) {
      admit(live, capacity);
      if (live.empty() || abandoned_.load()) return;
      int wait_ms = 0;
      if (collect(live, waits, wait_ms)) continue;
      if (wake_.valid()) waits.push_back({wake_.get(), POLLIN, 0});
      int ready = ::poll(waits.data(), waits.size(), wait_ms);
      if (ready < 0 && errno == EINTR) continue;  // the deadlines stay where they were
      const probe::NetError error = probe::NetError::last_system_error();
      // A stop wakes the poll; the next round sees it and drops the live probes.
      if (wake_.valid()) waits.pop_back();
      dispatch(live, waits, ready, error);
    }
  }

  // Host `index` ends with the exception being handled.
  void fail(std::size_t index) {
    stopping_.store(true);
    finish(index, Slot{std::nullopt, std::current_exception()});
  }

  void finish(std::size_t index, Slot slot) {
    {
      const std::lock_guard lock(mutex_);
      slots_[index] = std::move(slot);
      ++finished_;
    }
    changed_.notify_one();
  }

  std::vector<Slot> slots_;
  ProbeStart start_;
  UniqueFd wake_;
  std::size_t wanted_ = 1;
  std::size_t threads_ = 1;
  bool alone_ = false;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> shares_{0};
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t finished_ = 0;   // guarded by mutex_
  std::atomic<bool> abandoned_{false};  // set under mutex_, for the waits on changed_
  std::size_t delivered_ = 0;  // the caller's alone
  std::size_t reported_ = 0;   // the caller's alone
  std::vector<Worker> workers_;  // last: joined first
};

ProbeRun::ProbeRun(std::size_t count, std::size_t jobs, std::size_t per_thread, ProbeStart start)
    : pool_(std::make_unique<Pool>(count, jobs, per_thread, std::move(start))) {}

ProbeRun::~ProbeRun() = default;

std::optional<probe::ProbeReport> ProbeRun::next(
    const std::function<void(std::size_t, std::size_t)>& progress) {
  return pool_->next(progress);
}

void ProbeRun::stop() { pool_->stop(); }

void run_pool(std::size_t count, std::size_t jobs, std::size_t per_thread,
              const PoolCallbacks& callbacks) {
  ProbeRun run(count, jobs, per_thread, callbacks.start);
  for (std::size_t index = 0; auto report = run.next(callbacks.progress); ++index) {
    callbacks.deliver(index, std::move(*report));
  }
}

}  // namespace ov
