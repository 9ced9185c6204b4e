// classify_lookup on the compiled-in catalog: the successful lookups alone
// (the path that must not allocate) and a mix with every kind of failure.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <span>
#include <string_view>

#include "catalog/loader.h"
#include "catalog/lookup.h"

namespace {

struct Request {
  std::string_view vendor;
  std::string_view firmware;
  ov::CommandType command;
};

using enum ov::CommandType;

constexpr std::array<Request, 8> kFound{{
    {"cisco_ios", "12.2(55)SE12", ArpTable},
    {"cisco_ios", "16.12.4", MacTable},
    {"cisco_ios", "12.2(55)SE12", MacTable},
    {"arista_eos", "4.22.1F", StpVlanList},
    {"aruba_aoscx", "10.13", PortPolicyPush},
    {"hpe_procurve", "16.10.0021", ArpTable},
    {"meraki_ms", "15.21", ArpTable},
    {"arista_eos", "4.20.1F", InterfaceConfig},
}};

constexpr std::array<Request, 13> kMixed{{
    {"cisco_ios", "12.2(55)SE12", ArpTable},
    {"cisco_ios", "16.12.4", MacTable},
    {"cisco_ios", "12.2(55)SE12", MacTable},
    {"arista_eos", "4.22.1F", StpVlanList},
    {"aruba_aoscx", "10.13", PortPolicyPush},
    {"aruba_aoscx", "GL.10.13", PortPolicyPush},
    {"arista_eos", "4.20.1F", CivicLocation},
    {"cisco_nxos", "5.2(1)", ArpTable},
    {"hpe_procurve", "WC.16.10.0021", ArpTable},
    {"hpe_procurve", "16.10.0021", ArpTable},
    {"meraki_ms", "switch-15-21", ArpTable},
    {"meraki_ms", "15.21", ArpTable},
    {"cisco_ios_xe", "16.12.4", ArpTable},
}};

const ov::Catalog& bundled() {
  static const ov::Catalog catalog = [] {
    auto loaded = ov::load_bundled();
    if (!loaded) {
      std::cerr << loaded.error().message() << '\n';
      std::exit(1);
    }
    return *std::move(loaded);
  }();
  return catalog;
}

// Runs the requests round-robin; one iteration is one lookup.
void run(benchmark::State& state, std::span<const Request> requests) {
  const ov::Catalog& catalog = bundled();
  std::size_t i = 0;
  for (auto _ : state) {
    const Request& request = requests[i];
    auto result = ov::classify_lookup(catalog, request.vendor, request.firmware, request.command);
    benchmark::DoNotOptimize(result);
    i = i + 1 == requests.size() ? 0 : i + 1;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_LookupFound(benchmark::State& state) {
  for (const auto& request : kFound) {
    const auto result =
        ov::classify_lookup(bundled(), request.vendor, request.firmware, request.command);
    if (result.status != ov::LookupStatus::Text) {
      state.SkipWithError("a lookup expected to find its text did not");
      return;
    }
  }
  run(state, kFound);
}

void BM_LookupMixed(benchmark::State& state) { run(state, kMixed); }

BENCHMARK(BM_LookupFound);
BENCHMARK(BM_LookupMixed);

}  // namespace

BENCHMARK_MAIN();
