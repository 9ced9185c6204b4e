#include "fleet/probe_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ov {
namespace {

using namespace std::chrono_literals;

// A probe with no descriptor that is done `delay` after it starts, naming
// its host by index; `fail` runs at each of its wake-ups and may throw.
class TimerTask final : public probe::ProbeTask {
 public:
  TimerTask(std::size_t index, std::chrono::milliseconds delay, std::function<void()> fail)
      : index_(index), end_(probe::Clock::now() + delay), fail_(std::move(fail)) {}

  std::optional<probe::Readiness> next(probe::Clock::time_point now) override {
    if (fail_) fail_();
    if (now >= end_) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - now);
    return probe::Readiness{-1, 0, static_cast<int>(left.count())};
  }
  void on_ready(short, probe::Clock::time_point) override {}
  void on_poll_failure(const probe::NetError&) override {}
  probe::ProbeReport take_report() override {
    probe::ProbeReport report;
    report.host = std::to_string(index_);
    return report;
  }

 private:
  std::size_t index_;
  probe::Clock::time_point end_;
  std::function<void()> fail_;
};

PoolCallbacks recording(std::vector<std::string>& delivered,
                        std::chrono::milliseconds (*delay)(std::size_t)) {
  PoolCallbacks callbacks;
  callbacks.start = [delay](std::size_t index) {
    return std::make_unique<TimerTask>(index, delay(index), nullptr);
  };
  callbacks.deliver = [&delivered](std::size_t, probe::ProbeReport report) {
    delivered.push_back(report.host);
  };
  return callbacks;
}

std::vector<std::string> names(std::size_t count) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(std::to_string(i));
  return out;
}

TEST(ProbePool, DeliversInHostOrderWhateverOrderTheProbesEnd) {
  // Earlier hosts take longer, so with several jobs they end last.
  const auto slower_first = [](std::size_t index) {
    return std::chrono::milliseconds(index < 6 ? 12 - 2 * index : 0);
  };
  struct Case {
    std::size_t count, jobs, per_thread;
  };
  for (const Case& c : std::vector<Case>{
           {6, 1, 1}, {6, 3, 1}, {6, 64, 1}, {40, 8, 1}, {3, 0, 1}, {0, 8, 1},
           {6, 3, 128}, {40, 8, 3}, {300, 300, 128}, {9, 4, 0}}) {
    SCOPED_TRACE("count " + std::to_string(c.count) + " jobs " + std::to_string(c.jobs) +
                 " per thread " + std::to_string(c.per_thread));
    std::vector<std::string> delivered;
    run_pool(c.count, c.jobs, c.per_thread, recording(delivered, slower_first));
    EXPECT_EQ(delivered, names(c.count));
  }
}

// Probes sharing a thread run side by side: 64 probes of 50 ms, 32 to a
// thread, all wait at once on two threads.
TEST(ProbePool, ProbesOnOneThreadWaitTogether) {
  std::mutex mutex;
  std::set<std::thread::id> threads;
  std::size_t live = 0;
  std::size_t most = 0;
  PoolCallbacks callbacks;
  callbacks.start = [&](std::size_t index) {
    const std::lock_guard lock(mutex);
    threads.insert(std::this_thread::get_id());
    most = std::max(most, ++live);
    return std::make_unique<TimerTask>(index, 50ms, nullptr);
  };
  callbacks.deliver = [&](std::size_t, probe::ProbeReport) {
    const std::lock_guard lock(mutex);
    --live;
  };
  run_pool(64, 64, 32, callbacks);
  EXPECT_EQ(threads.size(), 2u);
  EXPECT_EQ(most, 64u);
}

TEST(ProbePool, ProgressIsUpToDateBeforeEachDelivery) {
  // Hosts end in bursts, several while one report is being delivered.
  for (const std::size_t jobs : {1, 16}) {
    std::vector<std::string> delivered;
    PoolCallbacks callbacks = recording(delivered, [](std::size_t) { return 1ms; });
    const auto deliver = callbacks.deliver;
    const auto caller = std::this_thread::get_id();
    std::size_t last = 0;
    callbacks.progress = [&](std::size_t done, std::size_t total) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      EXPECT_EQ(total, 16u);
      EXPECT_GT(done, last);
      last = done;
    };
    callbacks.deliver = [&](std::size_t index, probe::ProbeReport report) {
      EXPECT_GT(last, index);
      std::this_thread::sleep_for(3ms);
      deliver(index, std::move(report));
    };
    run_pool(16, jobs, 4, callbacks);
    EXPECT_EQ(last, 16u) << jobs;
    EXPECT_EQ(delivered, names(16));
  }
}

// A failure in starting a probe, in running one, or in a delivery ends the
// pool: it is rethrown once every worker has ended, nothing after it is
// delivered, and the hosts still waiting are not probed for nobody.
TEST(ProbePool, FailureStopsThePoolAndIsRethrownAfterTheWorkersEnd) {
  enum class Where { Start, Probe, Delivery };
  for (const Where where : {Where::Start, Where::Probe, Where::Delivery}) {
    for (const std::size_t per_thread : {1, 3}) {
      SCOPED_TRACE(static_cast<int>(where) * 10 + per_thread);
      std::atomic<int> started{0};
      std::vector<std::size_t> delivered;
      PoolCallbacks callbacks;
      callbacks.start = [&](std::size_t index) -> std::unique_ptr<probe::ProbeTask> {
        if (where == Where::Start && index == 3) throw std::runtime_error("start 3 failed");
        ++started;
        std::function<void()> fail;
        if (where == Where::Probe && index == 3) {
          fail = [] { throw std::runtime_error("probe 3 failed"); };
        }
        return std::make_unique<TimerTask>(index, 2ms, fail);
      };
      callbacks.deliver = [&](std::size_t index, probe::ProbeReport) {
        if (where == Where::Delivery && index == 3) throw std::runtime_error("output failed");
        delivered.push_back(index);
      };
      EXPECT_THROW(run_pool(1000, 4, per_thread, callbacks), std::runtime_error);
      EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2}));
      EXPECT_LT(started.load(), 100);
    }
  }
}

}  // namespace
}  // namespace ov
