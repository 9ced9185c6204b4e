#include "cli/probe_pool.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
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

class Pool {
 public:
  Pool(std::size_t count, const PoolCallbacks& callbacks) : slots_(count), callbacks_(callbacks) {}

  // Takes hosts until none is left or the pool is stopping.
  void work() {
    for (;;) {
      if (stopping_.load()) return;
      const std::size_t index = next_.fetch_add(1);
      if (index >= slots_.size()) return;
      Slot result;
      try {
        result.report = callbacks_.probe(index);
      } catch (...) {
        result.failure = std::current_exception();
        stopping_.store(true);
      }
      {
        const std::lock_guard lock(mutex_);
        slots_[index] = std::move(result);
        ++finished_;
      }
      changed_.notify_one();
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
  std::vector<Slot> slots_;
  const PoolCallbacks& callbacks_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t finished_ = 0;
};

// A worker thread with a small stack, joined when it goes. Thousands of
// probes wait at once, each a few frames deep: the default stacks (8 MiB of
// address space each) would run into the process's address-space and
// mapping limits long before the probes do.
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

void run_pool(std::size_t count, std::size_t jobs, const PoolCallbacks& callbacks) {
  if (count == 0) return;
  Pool pool(count, callbacks);
  std::exception_ptr failure;
  {
    std::vector<Worker> workers;
    const std::size_t wanted = std::clamp<std::size_t>(jobs, 1, count);
    workers.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
      auto worker = Worker::start(pool);
      if (!worker) break;  // the threads that did start carry the rest of the hosts
      workers.push_back(std::move(*worker));
    }
    if (workers.empty()) {
      pool.work();
    }
    try {
      failure = pool.deliver_all();
    } catch (...) {
      failure = std::current_exception();
    }
    // The workers must end before the pool goes: let them stop after their
    // current host rather than probe the rest for nobody.
    if (failure) pool.stop();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace ov::cli
