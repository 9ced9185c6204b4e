#include "cli/probe_output.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ov::cli {
namespace {

probe::ProbeReport report_with_banner(std::string banner) {
  probe::ProbeReport report;
  report.host = "h";
  report.ssh_banner = std::move(banner);
  report.netconf_available = true;
  report.gnmi_available = false;
  report.elapsed_ms = 7;
  return report;
}

TEST(ReportText, ControlCharactersADeviceSentAreShownEscaped) {
  const std::pair<std::string, std::string> rows[] = {
      {"SSH-2.0-\x1b[2J", "SSH-2.0-\\x1b[2J"},
      {std::string("a\0b\tc\x1f\x7f", 7), "a\\x00b\\x09c\\x1f\\x7f"},
      {"C1 \xc2\x9b \xc2\x80 kept: \xc2\xa0 \xc3\xa9 ~ \xc2",
       "C1 \\x9b \\x80 kept: \xc2\xa0 \xc3\xa9 ~ \xc2"},
  };
  for (const auto& [banner, shown] : rows) {
    EXPECT_EQ(report_text(report_with_banner(banner), {}),
              "h: ssh " + shown + ", netconf yes, gnmi no, restconf skipped (7 ms)\n");
  }
  // No banner reads "skipped" only when the SSH step was; diagnostics are escaped too.
  probe::ProbeReport report;
  report.host = "h\n";
  report.diagnostics = {"ssh:22 x\x1b"};
  EXPECT_EQ(report_text(report, std::vector<std::string>{"SSH"}),
            "h\\x0a: ssh skipped, netconf skipped, gnmi skipped, restconf skipped (0 ms)\n"
            "  ssh:22 x\\x1b\n");
  EXPECT_TRUE(report_text(report, {}).starts_with("h\\x0a: ssh no, "));
}

}  // namespace
}  // namespace ov::cli
