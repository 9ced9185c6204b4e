// load_bundled against its floor, a bare libyaml event scan of the same seven
// texts that builds nothing, and the heap that one loaded catalog holds next
// to the size of the YAML it came from.
//
// Goals: a load within 1.3x of the scan; a catalog under 2x its YAML.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>
#include <yaml.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/bundled.h"
#include "catalog/loader.h"

// Heap accounting. Every operator new and delete of the program goes through
// here; bytes are counted only while `counting` is on, so the timed loops pay
// one relaxed load per call. Sizes are malloc_usable_size, what the heap
// really hands out for a block (without malloc's own chunk header).
namespace heap {
std::atomic<bool> counting{false};
std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};
std::atomic<std::int64_t> blocks{0};

void note_new(void* p) {
  if (p == nullptr || !counting.load(std::memory_order_relaxed)) return;
  const auto now = live.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p)),
                                  std::memory_order_relaxed) +
                   static_cast<std::int64_t>(malloc_usable_size(p));
  blocks.fetch_add(1, std::memory_order_relaxed);
  auto high = peak.load(std::memory_order_relaxed);
  while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
  }
}

void note_delete(void* p) {
  if (p == nullptr || !counting.load(std::memory_order_relaxed)) return;
  live.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
  blocks.fetch_sub(1, std::memory_order_relaxed);
}

void* allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  note_new(p);
  return p;
}

void* allocate_aligned(std::size_t size, std::align_val_t align) {
  const auto alignment = std::max(static_cast<std::size_t>(align), sizeof(void*));
  void* p = nullptr;
  if (posix_memalign(&p, alignment, size == 0 ? 1 : size) != 0) throw std::bad_alloc();
  note_new(p);
  return p;
}

void release(void* p) noexcept {
  note_delete(p);
  std::free(p);
}
}  // namespace heap

void* operator new(std::size_t size) { return heap::allocate(size); }
void* operator new[](std::size_t size) { return heap::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return heap::allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t align) {
  return heap::allocate_aligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return heap::allocate_aligned(size, align);
}
void operator delete(void* p) noexcept { heap::release(p); }
void operator delete[](void* p) noexcept { heap::release(p); }
void operator delete(void* p, std::size_t) noexcept { heap::release(p); }
void operator delete[](void* p, std::size_t) noexcept { heap::release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { heap::release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { heap::release(p); }
void operator delete(void* p, std::align_val_t) noexcept { heap::release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { heap::release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { heap::release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { heap::release(p); }

namespace {

constexpr double kSpeedGoal = 1.3;
constexpr double kHeapGoal = 2.0;

std::size_t yaml_bytes() {
  std::size_t total = 0;
  for (const auto& file : ov::bundled_files()) total += file.text.size();
  return total;
}

struct HeapFigures {
  std::int64_t held = 0;   // live bytes while the catalog is alive
  std::int64_t peak = 0;   // highest live bytes during the load
  std::int64_t blocks = 0; // live blocks while the catalog is alive
  std::int64_t leaked = 0; // live bytes left once it is gone (should be 0)
};

// One load with accounting on: what the catalog keeps, measured as the live
// bytes after the load minus those before, while it is still alive.
HeapFigures measure_heap() {
  HeapFigures figures;
  heap::live = 0;
  heap::peak = 0;
  heap::blocks = 0;
  heap::counting = true;
  {
    auto catalog = ov::load_bundled();
    figures.held = heap::live.load();
    figures.peak = heap::peak.load();
    figures.blocks = heap::blocks.load();
    if (!catalog) {
      heap::counting = false;
      std::cerr << catalog.error().message() << '\n';
      std::exit(1);
    }
  }
  figures.leaked = heap::live.load();
  heap::counting = false;
  return figures;
}

const HeapFigures& heap_figures() {
  static const HeapFigures figures = measure_heap();
  return figures;
}

void BM_LoadBundled(benchmark::State& state) {
  if (auto first = ov::load_bundled(); !first) {
    state.SkipWithError(first.error().message().c_str());
    return;
  }
  for (auto _ : state) {
    auto catalog = ov::load_bundled();
    benchmark::DoNotOptimize(catalog);
  }
  const HeapFigures& figures = heap_figures();
  const auto yaml = static_cast<double>(yaml_bytes());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * yaml_bytes()));
  state.counters["yaml_bytes"] = yaml;
  state.counters["heap_bytes"] = static_cast<double>(figures.held);
  state.counters["heap_blocks"] = static_cast<double>(figures.blocks);
  state.counters["heap_peak"] = static_cast<double>(figures.peak);
  state.counters["heap_ratio"] = static_cast<double>(figures.held) / yaml;
}

// Pulls every event of one text and deletes it. Returns the number of
// events, or -1 on a syntax error.
long scan(std::string_view text) {
  yaml_parser_t parser;
  if (yaml_parser_initialize(&parser) == 0) return -1;
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  yaml_parser_set_encoding(&parser, YAML_UTF8_ENCODING);
  long events = 0;
  for (;;) {
    yaml_event_t event;
    if (yaml_parser_parse(&parser, &event) == 0) {
      events = -1;
      break;
    }
    const bool end = event.type == YAML_STREAM_END_EVENT;
    yaml_event_delete(&event);
    ++events;
    if (end) break;
  }
  yaml_parser_delete(&parser);
  return events;
}

// The floor: libyaml's scanner and parser over the same texts, nothing built.
void BM_BareScan(benchmark::State& state) {
  long events = 0;
  for (const auto& file : ov::bundled_files()) {
    const long n = scan(file.text);
    if (n < 0) {
      state.SkipWithError("a compiled-in text does not scan");
      return;
    }
    events += n;
  }
  for (auto _ : state) {
    for (const auto& file : ov::bundled_files()) benchmark::DoNotOptimize(scan(file.text));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * yaml_bytes()));
  state.counters["events"] = static_cast<double>(events);
}

BENCHMARK(BM_LoadBundled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareScan)->Unit(benchmark::kMillisecond);

// Keeps each run's CPU time per iteration (seconds) for the summary: on a
// shared machine it is steadier than the wall clock.
template <class Base>
class Collecting : public Base {
 public:
  using Base::Base;
  void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
    // With repetitions the median stands for the benchmark, else the one run.
    for (const auto& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const std::string& name = run.run_name.function_name;
      const double per_iteration =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate) {
        if (run.aggregate_name != "median") continue;
        seconds[name] = per_iteration;
        medians.insert(name);
      } else if (!medians.contains(name)) {
        seconds[name] = per_iteration;
      }
    }
    Base::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;

 private:
  std::set<std::string> medians;
};

// The machine's speed can change between one benchmark and the next, so the
// verdict rests on rounds that time one load and one bare scan back to back
// (in alternating order) and keep the median of their ratios.
double paired_ratio() {
  constexpr int kRounds = 41;
  using Clock = std::chrono::steady_clock;
  const auto time = [](auto&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  const auto load = [] { benchmark::DoNotOptimize(ov::load_bundled()); };
  const auto bare = [] {
    for (const auto& file : ov::bundled_files()) benchmark::DoNotOptimize(scan(file.text));
  };
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    double load_s = 0;
    double bare_s = 0;
    if (round % 2 == 0) {
      load_s = time(load);
      bare_s = time(bare);
    } else {
      bare_s = time(bare);
      load_s = time(load);
    }
    ratios.push_back(load_s / bare_s);
  }
  std::nth_element(ratios.begin(), ratios.begin() + kRounds / 2, ratios.end());
  return ratios[kRounds / 2];
}

template <class Reporter>
void run_and_summarise(Reporter& reporter, std::FILE* out) {
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto load = reporter.seconds.find("BM_LoadBundled");
  const auto floor = reporter.seconds.find("BM_BareScan");
  if (load != reporter.seconds.end() && floor != reporter.seconds.end()) {
    const double paired = paired_ratio();
    std::fprintf(out,
                 "load_bundled %.2f ms, bare scan %.2f ms: load/scan %.2fx; in 41 paired rounds "
                 "%.2fx (%s the %.1fx goal)\n",
                 load->second * 1e3, floor->second * 1e3, load->second / floor->second, paired,
                 paired <= kSpeedGoal ? "meets" : "MISSES", kSpeedGoal);
  }
  if (load != reporter.seconds.end()) {
    const HeapFigures& figures = heap_figures();
    const double ratio = static_cast<double>(figures.held) / static_cast<double>(yaml_bytes());
    std::fprintf(out,
                 "heap held by one catalog: %lld bytes in %lld blocks for %zu bytes of YAML: "
                 "%.2fx (%s the %.1fx goal); peak while loading %lld bytes\n",
                 static_cast<long long>(figures.held), static_cast<long long>(figures.blocks),
                 yaml_bytes(), ratio, ratio < kHeapGoal ? "meets" : "MISSES", kHeapGoal,
                 static_cast<long long>(figures.peak));
    if (figures.leaked != 0) {
      std::fprintf(out, "heap still live after the catalog was released: %lld bytes\n",
                   static_cast<long long>(figures.leaked));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  for (int i = 1; i < argc; ++i) json = json || std::string_view(argv[i]) == "--benchmark_format=json";
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // With JSON on standard output the summary goes to standard error.
  if (json) {
    Collecting<benchmark::JSONReporter> reporter;
    run_and_summarise(reporter, stderr);
  } else {
    Collecting<benchmark::ConsoleReporter> reporter(
        isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                              : benchmark::ConsoleReporter::OO_None);
    run_and_summarise(reporter, stdout);
  }
  benchmark::Shutdown();
  return 0;
}
