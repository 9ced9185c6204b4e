#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

using fixtures::FakeLookup;
using fixtures::kShort;
using fixtures::Script;
using Lines = std::vector<std::string>;

std::string dns_refusal(int code) {
  return std::string("DNS: failed to lookup address information: ") + ::gai_strerror(code);
}

TEST(RunProbe, UnresolvableHostGivesOneLinePerStepOnTheFixedPorts) {
  // The platform resolver refuses the empty name without a query.
  const ProbeReport report = run_probe("", "arista_eos", kShort, {});
  EXPECT_EQ(std::tie(report.netconf_available, report.gnmi_available, report.restconf_available),
            std::tuple(false, false, false));
  EXPECT_EQ(report.ssh_banner, std::nullopt);
  const std::string refusal = resolve("", 22).error().text();
  EXPECT_EQ(report.diagnostics, (Lines{"ssh:22 " + refusal, "netconf:830 " + refusal,
                                       "gnmi:9339 " + refusal, "restconf:443 " + refusal}));
}

TEST(RunProbe, SkipNamesIgnoreAsciiCaseOnly) {
  struct Row {
    std::vector<std::string> skip;
    Lines prefixes;  // of the steps that ran, in order
  };
  const Row rows[] = {
      {{}, {"ssh:22", "netconf:830", "gnmi:9339", "restconf:443"}},
      {{"SSH"}, {"netconf:830", "gnmi:9339", "restconf:443"}},
      {{"gNMI", "RestConf"}, {"ssh:22", "netconf:830"}},
      {{"ssh ", " gnmi", "eapi", "snmp", "", std::string("ssh\0", 4)},
       {"ssh:22", "netconf:830", "gnmi:9339", "restconf:443"}},
      {{"\xC5\xBFsh", "gnm\xC4\xB1"}, {"ssh:22", "netconf:830", "gnmi:9339", "restconf:443"}},
  };
  // "ſsh" and "gnmı" fold to the names under Unicode rules, not under ASCII.
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.skip));
    const FakeLookup lookup = FakeLookup::refusing(EAI_NONAME);
    const ProbeReport report = run_probe("router.lab", "v", kShort, row.skip, kProbeSteps, lookup);
    Lines expected;
    for (const auto& prefix : row.prefixes)
      expected.push_back(prefix + " " + dns_refusal(EAI_NONAME));
    EXPECT_EQ(report.diagnostics, expected);
    EXPECT_EQ(lookup.asked.size(), row.prefixes.size());  // each step resolves afresh
    const auto ran = [&](std::string_view prefix) {
      return std::ranges::find(row.prefixes, prefix) != row.prefixes.end();
    };
    EXPECT_EQ(report.netconf_available.has_value(), ran("netconf:830"));
    EXPECT_EQ(report.gnmi_available.has_value(), ran("gnmi:9339"));
    EXPECT_EQ(report.restconf_available.has_value(), ran("restconf:443"));
    EXPECT_EQ(report.ssh_banner, std::nullopt);
  }
}

// One port of a loopback device, standing in for one of the four services.
struct Port {
  enum class Kind { Scripted, Refused, Dropped } kind;
  Script script;
};
Port sends(std::string text, Script::After after = Script::After::Close) {
  return {Port::Kind::Scripted, {{std::move(text)}, after}};
}
Port accepts() { return {Port::Kind::Scripted, {{}, Script::After::Close}}; }
Port silent() { return {Port::Kind::Scripted, {{}, Script::After::Hold}}; }
Port refused() { return {Port::Kind::Refused, {}}; }
Port dropped() { return {Port::Kind::Dropped, {}}; }

// Starts the four ports and the step table that points at them.
class Device {
 public:
  explicit Device(const std::array<Port, 4>& ports) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
      steps_[i] = kProbeSteps[i];
      switch (ports[i].kind) {
        case Port::Kind::Scripted:
          scripted_.push_back(std::make_unique<fixtures::ScriptedServer>(ports[i].script));
          ok_ = ok_ && scripted_.back()->ok();
          steps_[i].port = scripted_.back()->port();
          break;
        case Port::Kind::Refused:
          refused_.push_back(std::make_unique<fixtures::RefusedPort>());
          steps_[i].port = refused_.back()->port();
          break;
        case Port::Kind::Dropped:
          dropped_.push_back(std::make_unique<fixtures::DroppedPort>());
          ok_ = ok_ && dropped_.back()->ok();
          steps_[i].port = dropped_.back()->port();
          break;
      }
    }
  }
  bool ok() const { return ok_; }
  const std::array<ProbeStep, 4>& steps() const { return steps_; }
  // "gnmi:PORT" for step i.
  std::string start(std::size_t i) const {
    static constexpr const char* kPrefixes[] = {"ssh:", "netconf:", "gnmi:", "restconf:"};
    return kPrefixes[i] + std::to_string(steps_[i].port);
  }

 private:
  std::vector<std::unique_ptr<fixtures::ScriptedServer>> scripted_;
  std::vector<std::unique_ptr<fixtures::RefusedPort>> refused_;
  std::vector<std::unique_ptr<fixtures::DroppedPort>> dropped_;
  std::array<ProbeStep, 4> steps_{};
  bool ok_ = true;
};

TEST(RunProbe, LoopbackDevices) {
  // Built by appending: GCC 12 warns falsely about `" " + std::string`.
  std::string refused_end = " ";
  refused_end += fixtures::refused_text();
  std::string timeout_end = " ";
  timeout_end += fixtures::receive_timeout_text();
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
      {"ssh server, every other port closed",
       {sends("SSH-2.0-OpenSSH_9.2p1\r\n"), refused(), refused(), refused()}, {},
       "SSH-2.0-OpenSSH_9.2p1", false, false, false,
       {std::nullopt, refused_end, refused_end, refused_end}},
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
    ASSERT_TRUE(device.ok());
    const ProbeReport report =
        run_probe("127.0.0.1", "cisco_ios", kShort, row.skip, device.steps());
    EXPECT_EQ(std::tie(report.host, report.vendor), std::tuple("127.0.0.1", "cisco_ios"));
    EXPECT_EQ(std::tie(report.ssh_banner, report.netconf_available, report.gnmi_available,
                       report.restconf_available),
              std::tie(row.banner, row.netconf, row.gnmi, row.restconf));
    EXPECT_EQ(report.firmware, std::nullopt);
    Lines expected;
    for (std::size_t i = 0; i < 4; ++i) {
      if (row.line_ends[i]) expected.push_back(device.start(i) + *row.line_ends[i]);
    }
    EXPECT_EQ(report.diagnostics, expected);
  }
}

TEST(RunProbe, ElapsedCoversTheWaits) {
  const Device device({refused(), silent(), silent(), refused()});
  ASSERT_TRUE(device.ok());
  const ProbeReport report = run_probe("127.0.0.1", "v", kShort, {}, device.steps());
  ASSERT_EQ(report.diagnostics.size(), 3u);
  EXPECT_GE(report.elapsed_ms, 150u);  // the silent netconf port used its whole receive limit
}

}  // namespace
}  // namespace ov::probe
