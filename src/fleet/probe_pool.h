// Probing many hosts on a bounded pool of threads, each thread waiting on
// several probes at once with one poll, the reports taken in host order.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "probe/probe_report.h"
#include "probe/probe_session.h"

namespace ov {

// Starts the probe of host `index`; runs on a worker.
using ProbeStart = std::function<std::unique_ptr<probe::ProbeTask>(std::size_t index)>;

// A run of `count` probes with at most `jobs` (at least 1) at a time, at most
// `per_thread` (at least 1) of them on one thread. The workers start with the
// run; when no thread can be started, the first next() probes every host on
// the calling thread.
class ProbeRun {
 public:
  ProbeRun(std::size_t count, std::size_t jobs, std::size_t per_thread, ProbeStart start);
  // Stops: the probes still running are abandoned (their sockets closed) and
  // every worker is joined.
  ~ProbeRun();
  ProbeRun(const ProbeRun&) = delete;
  ProbeRun& operator=(const ProbeRun&) = delete;

  // The next report in host order, once it and every one before it are done;
  // nothing after the last. `progress(done, total)` is called, on this
  // thread, whenever more reports are done, and before a report is returned.
  // An exception thrown by a probe or by `start` stops the run and is
  // rethrown here, in host order.
  std::optional<probe::ProbeReport> next(
      const std::function<void(std::size_t done, std::size_t total)>& progress = {});

  // Abandons the probes still running and lets the workers end; next() then
  // returns nothing. Safe from any thread.
  void stop();

 private:
  class Pool;
  std::unique_ptr<Pool> pool_;
};

// What run_pool calls back.
struct PoolCallbacks {
  ProbeStart start;
  // Runs on the calling thread, for index 0, 1, 2, ... in turn, as soon as
  // that report and every one before it are done.
  std::function<void(std::size_t index, probe::ProbeReport report)> deliver;
  // Runs on the calling thread whenever more reports are done, in any order.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// A whole ProbeRun, delivered report by report; returns once every report
// was delivered. An exception thrown by a probe or a callback stops the
// probing and is rethrown here once every worker has ended.
void run_pool(std::size_t count, std::size_t jobs, std::size_t per_thread,
              const PoolCallbacks& callbacks);

}  // namespace ov
