// Probing many hosts on a bounded pool of threads, each thread waiting on
// several probes at once with one poll, and handing the reports back on the
// calling thread in host order.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "probe/probe_report.h"
#include "probe/probe_session.h"

namespace ov::cli {

struct PoolCallbacks {
  // Runs on a worker: starts the probe of host `index`.
  std::function<std::unique_ptr<probe::ProbeTask>(std::size_t index)> start;
  // Runs on the calling thread, for index 0, 1, 2, ... in turn, as soon as
  // that report and every one before it are done.
  std::function<void(std::size_t index, probe::ProbeReport report)> deliver;
  // Runs on the calling thread whenever more reports are done, in any order.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// Probes `count` hosts with at most `jobs` (at least 1) probes at a time, at
// most `per_thread` (at least 1) of them on one thread, and returns once
// every report was delivered. When no thread can be started the calling
// thread probes them itself. An exception thrown by a probe stops the pool
// and is rethrown here once every worker has ended.
void run_pool(std::size_t count, std::size_t jobs, std::size_t per_thread,
              const PoolCallbacks& callbacks);

}  // namespace ov::cli
