#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "probe/run_probe.h"
#include "probe_fake_lookup.h"
#include "probe_servers.h"

namespace ov::probe {
namespace {

using fixtures::kShort;
using fixtures::Script;
using Lines = std::vector<std::string>;

// Each step that runs resolves afresh and reports on its fixed port.
TEST(RunProbe, SkipNamesIgnoreAsciiCaseOnly) {
  // "ſsh" and "gnmı" fold to the names under Unicode rules, not under ASCII.
  const std::pair<std::vector<std::string>, Lines> rows[] = {
      {{"SSH", "SSH"}, {"netconf:830", "gnmi:9339", "restconf:443"}},
      {{"gNMI", "RestConf"}, {"ssh:22", "netconf:830"}},
      {{"ssh ", "eapi", "", std::string("ssh\0", 4), "\xC5\xBFsh", "gnm\xC4\xB1"},
       {"ssh:22", "netconf:830", "gnmi:9339", "restconf:443"}},
  };
  const std::string refusal =
      " " + resolve("x", 1, fixtures::FakeLookup::refusing(EAI_NONAME)).error().text();
  for (const auto& [skip, ran] : rows) {
    SCOPED_TRACE(::testing::PrintToString(skip));
    const auto lookup = fixtures::FakeLookup::refusing(EAI_NONAME);
    const ProbeReport report = run_probe("router.lab", "v", kShort, skip, kProbeSteps, lookup);
    Lines expected;
    for (const auto& start : ran) expected.push_back(start + refusal);
    EXPECT_EQ(report.diagnostics, expected);
    EXPECT_EQ(lookup.asked.size(), ran.size());  // each step resolves afresh
    EXPECT_EQ(report.gnmi_available.has_value(), std::ranges::find(ran, "gnmi:9339") != ran.end());
  }
}

// One port of a loopback device, standing in for one of the four services:
// it starts its fixture, keeps it alive in `kept` and gives its port.
using Kept = std::vector<std::shared_ptr<void>>;
using Port = std::function<std::uint16_t(Kept& kept, bool& ok)>;

template <class Fixture, class... Args>
Port port_of(Args... args) {
  return [=](Kept& kept, bool& ok) {
    auto fixture = std::make_shared<Fixture>(args...);
    ok = ok && fixture->ok();
    kept.push_back(fixture);
    return fixture->port();
  };
}
Port sends(std::string text) { return port_of<fixtures::ScriptedServer>(Script{{text}}); }
Port accepts() { return port_of<fixtures::ScriptedServer>(Script{}); }
Port silent() { return port_of<fixtures::ScriptedServer>(Script{{}, Script::After::Hold}); }
Port refused() { return port_of<fixtures::RefusedPort>(); }
Port dropped() { return port_of<fixtures::DroppedPort>(); }

// The four ports and the step table that points at them.
struct Device {
  explicit Device(const std::array<Port, 4>& ports) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
      steps[i] = kProbeSteps[i];
      steps[i].port = ports[i](kept, ok);
    }
  }
  Kept kept;
  bool ok = true;
  std::array<ProbeStep, 4> steps{};
};

TEST(RunProbe, LoopbackDevices) {
  const std::string refused_end = " " + fixtures::refused_text();
  const std::string timeout_end = " " + fixtures::receive_timeout_text();
  struct Row {
    const char* name;
    std::array<Port, 4> ports;
    std::vector<std::string> skip;
    std::optional<std::string> banner;
    std::optional<bool> netconf, gnmi, restconf;
    std::array<std::optional<std::string>, 4> line_ends;  // per step, none: no line
  };
  // clang-format off
  const Row rows[] = {
      {"every protocol answers; only port 22's banner is kept",
       {sends("SSH-2.0-A\r\n"), sends("SSH-2.0-B\r\n"), accepts(), silent()}, {},
       "SSH-2.0-A", true, true, true, {}},
      {"greeting on 22, 830 closes at once, 9339 and 443 drop",
       {sends("220 ready\r\n"), accepts(), dropped(), dropped()}, {},
       std::nullopt, false, false, false,
       {" reachable but no banner read", " reachable but no SSH banner", " connection timed out",
        " connection timed out"}},
      {"830 stays silent, 22 without a banner",
       {accepts(), silent(), refused(), accepts()}, {},
       std::nullopt, false, false, true,
       {" reachable but no banner read", timeout_end, refused_end, std::nullopt}},
      {"ssh skipped: the netconf banner does not take its place",
       {sends("SSH-2.0-A\r\n"), sends("SSH-2.0-B\r\n"), refused(), refused()}, {"Ssh"},
       std::nullopt, true, false, false,
       {std::nullopt, std::nullopt, refused_end, refused_end}},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Device device(row.ports);
    ASSERT_TRUE(device.ok);
    const auto started = Clock::now();
    const ProbeReport report = run_probe("127.0.0.1", "cisco_ios", kShort, row.skip, device.steps);
    EXPECT_EQ(std::tie(report.host, report.vendor), std::tuple("127.0.0.1", "cisco_ios"));
    EXPECT_EQ(std::tie(report.ssh_banner, report.netconf_available, report.gnmi_available,
                       report.restconf_available),
              std::tie(row.banner, row.netconf, row.gnmi, row.restconf));
    EXPECT_EQ(report.firmware, std::nullopt);
    Lines expected;
    for (std::size_t i = 0; i < 4; ++i) {
      const ProbeStep& step = device.steps[i];
      if (row.line_ends[i]) {
        expected.push_back(std::string(step.prefix) + std::to_string(step.port) +
                           *row.line_ends[i]);
      }
    }
    EXPECT_EQ(report.diagnostics, expected);
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    EXPECT_LE(report.elapsed_ms, static_cast<unsigned>(spent.count()));
    // A silent or dropping port uses its whole limit, and the report says so.
    if (row.line_ends[1] == timeout_end) {
      EXPECT_GE(report.elapsed_ms, 150u);
    }
  }
}

}  // namespace
}  // namespace ov::probe
