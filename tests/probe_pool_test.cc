#include "cli/probe_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ov::cli {
namespace {

using namespace std::chrono_literals;

std::string host_name(std::size_t index) {
  std::string name = "h";
  name += std::to_string(index);
  return name;
}

// A probe that names its host by index, done after `delay(index)`.
PoolCallbacks recording(std::vector<std::string>& delivered,
                        std::chrono::milliseconds (*delay)(std::size_t)) {
  PoolCallbacks callbacks;
  callbacks.probe = [delay](std::size_t index) {
    std::this_thread::sleep_for(delay(index));
    probe::ProbeReport report;
    report.host = host_name(index);
    return report;
  };
  callbacks.deliver = [&delivered](std::size_t index, probe::ProbeReport report) {
    EXPECT_EQ(report.host, host_name(index));
    delivered.push_back(report.host);
  };
  return callbacks;
}

TEST(ProbePool, DeliversInHostOrderWhateverOrderTheProbesEnd) {
  struct Row {
    std::size_t count;
    std::size_t jobs;
  };
  // Earlier hosts take longer, so with several jobs they end last.
  const auto slower_first = [](std::size_t index) {
    return std::chrono::milliseconds(index < 6 ? 12 - 2 * index : 0);
  };
  for (const Row row : {Row{1, 1}, Row{6, 1}, Row{6, 3}, Row{6, 64}, Row{40, 8}, Row{3, 0}, Row{0, 8}}) {
    SCOPED_TRACE("count " + std::to_string(row.count) + " jobs " + std::to_string(row.jobs));
    std::vector<std::string> delivered;
    run_pool(row.count, row.jobs, recording(delivered, slower_first));
    ASSERT_EQ(delivered.size(), row.count);
    for (std::size_t i = 0; i < row.count; ++i) EXPECT_EQ(delivered[i], host_name(i));
  }
}

TEST(ProbePool, ProgressIsUpToDateBeforeEachDelivery) {
  // Hosts end in bursts, several while one report is being delivered.
  for (const std::size_t jobs : {1, 4, 16}) {
    SCOPED_TRACE("jobs " + std::to_string(jobs));
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
    EXPECT_EQ(last, 16u);
    EXPECT_EQ(delivered.size(), 16u);
  }
}

TEST(ProbePool, FailureStopsThePoolAndIsRethrownAfterTheWorkersEnd) {
  std::atomic<int> running{0};
  std::atomic<int> started{0};
  std::vector<std::size_t> delivered;
  PoolCallbacks callbacks;
  callbacks.probe = [&](std::size_t index) {
    ++running;
    ++started;
    std::this_thread::sleep_for(2ms);
    --running;
    if (index == 3) throw std::runtime_error("probe 3 failed");
    return probe::ProbeReport{};
  };
  callbacks.deliver = [&](std::size_t index, probe::ProbeReport) { delivered.push_back(index); };
  EXPECT_THROW(
      {
        try {
          run_pool(1000, 4, callbacks);
        } catch (const std::runtime_error& error) {
          EXPECT_STREQ(error.what(), "probe 3 failed");
          throw;
        }
      },
      std::runtime_error);
  // Nothing still runs, nothing after the failed host was delivered, and the
  // pool did not go on to probe the other hosts.
  EXPECT_EQ(running.load(), 0);
  EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_LT(started.load(), 100);
}

TEST(ProbePool, FailureWhileDeliveringStopsTheWorkersToo) {
  std::atomic<int> running{0};
  std::atomic<int> started{0};
  PoolCallbacks callbacks;
  callbacks.probe = [&](std::size_t) {
    ++running;
    ++started;
    std::this_thread::sleep_for(1ms);
    --running;
    return probe::ProbeReport{};
  };
  callbacks.deliver = [](std::size_t index, probe::ProbeReport) {
    if (index == 1) throw std::length_error("output failed");
  };
  EXPECT_THROW(run_pool(500, 8, callbacks), std::length_error);
  EXPECT_EQ(running.load(), 0);
  EXPECT_LT(started.load(), 100);
}

}  // namespace
}  // namespace ov::cli
