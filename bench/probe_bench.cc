// The probe against loopback: a whole probe of a host whose four ports refuse
// (goal: under 5 ms), and how long after its limit a dropped connect gives up
// (goal: within 50 ms).
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "../tests/probe_servers.h"
#include "probe/run_probe.h"
#include "probe/tcp_connect.h"

namespace {

using namespace ov::probe;

void BM_ProbeAllPortsClosed(benchmark::State& state) {
  std::array<fixtures::RefusedPort, 4> closed;
  std::array<ProbeStep, 4> steps = kProbeSteps;
  for (std::size_t i = 0; i < steps.size(); ++i) steps[i].port = closed[i].port();
  const std::vector<std::string> skip;
  for (auto _ : state) {
    ProbeReport report = run_probe("127.0.0.1", "bench", Duration{1, 0}, skip, steps);
    if (report.diagnostics.size() != 4) {
      state.SkipWithError("a closed port did not refuse");
      return;
    }
    benchmark::DoNotOptimize(report);
  }
  state.counters["goal_ms"] = 5;
}

// One iteration is one dropped connect with a 100 ms limit; "overshoot_ms" is
// the mean time past the limit, "worst_overshoot_ms" the largest.
void BM_DroppedConnectOvershoot(benchmark::State& state) {
  fixtures::DroppedPort dropped;
  if (!dropped.ok()) {
    state.SkipWithError("could not fill the accept queue");
    return;
  }
  constexpr Duration kLimit{0, 100'000'000};
  double total_ms = 0;
  double worst_ms = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto stream = tcp_connect("127.0.0.1", dropped.port(), kLimit);
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    if (stream || stream.error() != NetError::timed_out()) {
      state.SkipWithError("the connect was not dropped");
      return;
    }
    const double overshoot = elapsed.count() - 100.0;
    total_ms += overshoot;
    if (overshoot > worst_ms) worst_ms = overshoot;
  }
  state.counters["overshoot_ms"] = total_ms / static_cast<double>(state.iterations());
  state.counters["worst_overshoot_ms"] = worst_ms;
  state.counters["goal_ms"] = 50;
}

BENCHMARK(BM_ProbeAllPortsClosed)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_DroppedConnectOvershoot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
