#include "cli/probe_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ov::cli {
namespace {

using namespace std::chrono_literals;

// A probe that names its host by index, done after `delay(index)`, and a
// delivery that records the names, so that they show the order.
PoolCallbacks recording(std::vector<std::string>& delivered,
                        std::chrono::milliseconds (*delay)(std::size_t)) {
  PoolCallbacks callbacks;
  callbacks.probe = [delay](std::size_t index) {
    std::this_thread::sleep_for(delay(index));
    probe::ProbeReport report;
    report.host = std::to_string(index);
    return report;
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
  for (const auto& [count, jobs] :
       {std::pair<std::size_t, std::size_t>{6, 1}, {6, 3}, {6, 64}, {40, 8}, {3, 0}, {0, 8}}) {
    SCOPED_TRACE("count " + std::to_string(count) + " jobs " + std::to_string(jobs));
    std::vector<std::string> delivered;
    run_pool(count, jobs, recording(delivered, slower_first));
    EXPECT_EQ(delivered, names(count));
  }
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
    run_pool(16, jobs, callbacks);
    EXPECT_EQ(last, 16u) << jobs;
    EXPECT_EQ(delivered, names(16));
  }
}

// A failure in a probe or in a delivery ends the pool: it is rethrown once
// every worker has ended, nothing after it is delivered, and the hosts still
// waiting are not probed for nobody.
TEST(ProbePool, FailureStopsThePoolAndIsRethrownAfterTheWorkersEnd) {
  for (const bool in_probe : {true, false}) {
    SCOPED_TRACE(in_probe ? "probe fails" : "delivery fails");
    std::atomic<int> running{0};
    std::atomic<int> started{0};
    std::vector<std::size_t> delivered;
    PoolCallbacks callbacks;
    callbacks.probe = [&](std::size_t index) {
      ++running;
      ++started;
      std::this_thread::sleep_for(2ms);
      --running;
      if (in_probe && index == 3) throw std::runtime_error("probe 3 failed");
      return probe::ProbeReport{};
    };
    callbacks.deliver = [&](std::size_t index, probe::ProbeReport) {
      if (!in_probe && index == 3) throw std::runtime_error("output failed");
      delivered.push_back(index);
    };
    EXPECT_THROW(run_pool(1000, 4, callbacks), std::runtime_error);
    EXPECT_EQ(running.load(), 0);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_LT(started.load(), 100);
  }
}

}  // namespace
}  // namespace ov::cli
