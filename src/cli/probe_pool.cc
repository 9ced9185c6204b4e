#include "cli/probe_pool.h"

#include <poll.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace ov::cli {
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

class Pool {
 public:
  // `wanted` probes at a time, shared out over `threads` workers.
  Pool(std::size_t count, std::size_t wanted, std::size_t threads, const PoolCallbacks& callbacks)
      : slots_(count), wanted_(wanted), threads_(threads), callbacks_(callbacks) {}

  // Runs the probes of the next worker's share until no host is left or the
  // pool is stopping.
  void work() {
    const std::size_t share = shares_.fetch_add(1);
    work(wanted_ / threads_ + (share < wanted_ % threads_ ? 1 : 0));
  }

  // The same with every probe at once: the calling thread, when no thread
  // could be started.
  void work_alone() { work(wanted_); }

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

  // Delivers in host order while the workers run; returns the first failure.
  // Progress is brought up to date before every delivery, so the count has
  // reached the total by the time the last report goes out.
  std::exception_ptr deliver_all() {
    std::size_t delivered = 0;
    std::size_t reported = 0;
    std::unique_lock lock(mutex_);
    while (delivered < slots_.size()) {
      changed_.wait(lock, [&] { return finished_ != reported || slots_[delivered].done(); });
      if (finished_ != reported) {
        reported = finished_;
        lock.unlock();
        if (callbacks_.progress) callbacks_.progress(reported, slots_.size());
        lock.lock();
        continue;
      }
      Slot slot = std::move(slots_[delivered]);
      const std::size_t index = delivered++;
      if (slot.failure) return slot.failure;
      lock.unlock();
      callbacks_.deliver(index, std::move(*slot.report));
      lock.lock();
    }
    return nullptr;
  }

  void stop() { stopping_.store(true); }

 private:
  // One poll over every live probe per round; a probe that finishes frees
  // its place for the next host before anything waits again. A probe that
  // throws ends alone, its host carrying the failure; the pool stops taking
  // hosts, and the probes beside it run to their end.
  void run(std::vector<Live>& live, std::size_t capacity) {
    std::vector<pollfd> waits;
    for (;;) {
      while (live.size() < capacity && !stopping_.load()) {
        const std::size_t index = next_.fetch_add(1);
        if (index >= slots_.size()) break;
        try {
          live.push_back({index, callbacks_.start(index)});
        } catch (...) {
          fail(index);
        }
      }
      if (live.empty()) return;
      waits.clear();
      int wait_ms = probe::kLongestPollMs;
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
      if (freed) continue;
      const int ready = ::poll(waits.data(), waits.size(), wait_ms);
      if (ready < 0 && errno == EINTR) continue;  // the deadlines stay where they were
      const probe::NetError error = probe::NetError::last_system_error();
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
  const std::size_t wanted_;
  const std::size_t threads_;
  const PoolCallbacks& callbacks_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> shares_{0};
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t finished_ = 0;
};

// A worker thread with a small stack, joined when it goes. Thousands of
// threads may wait at once (one probe each when hosts need the resolver),
// each a few frames deep: the default stacks (8 MiB of address space each)
// would run into the process's address-space and mapping limits long before
// the probes do.
class Worker {
 public:
  static constexpr std::size_t kStackBytes = 256 * 1024;

  // Starts `pool.work()`; nullopt when no thread could be started.
  static std::optional<Worker> start(Pool& pool) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return std::nullopt;
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_t thread{};
    const int error = pthread_create(
        &thread, &attributes,
        [](void* to) -> void* {
          static_cast<Pool*>(to)->work();
          return nullptr;
        },
        &pool);
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

void run_pool(std::size_t count, std::size_t jobs, std::size_t per_thread,
              const PoolCallbacks& callbacks) {
  if (count == 0) return;
  const std::size_t wanted = std::clamp<std::size_t>(jobs, 1, count);
  const std::size_t threads = (wanted + std::max<std::size_t>(per_thread, 1) - 1) /
                              std::max<std::size_t>(per_thread, 1);
  Pool pool(count, wanted, threads, callbacks);
  std::exception_ptr failure;
  {
    std::vector<Worker> workers;
    workers.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) {
      auto worker = Worker::start(pool);
      if (!worker) break;  // the threads that did start carry the rest of the hosts
      workers.push_back(std::move(*worker));
    }
    if (workers.empty()) pool.work_alone();
    try {
      failure = pool.deliver_all();
    } catch (...) {
      failure = std::current_exception();
    }
    // The workers must end before the pool goes: let them stop after their
    // current hosts rather than probe the rest for nobody.
    if (failure) pool.stop();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace ov::cli
