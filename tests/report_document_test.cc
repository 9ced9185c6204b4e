#include "fleet/report_document.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(ReportJson, KeysInTheModulesOrderAbsentValuesNullDataAsItCame) {
  probe::ProbeReport report;
  report.host = "h";
  report.ssh_banner = "SSH-2.0-\x1b";
  report.netconf_available = true;
  report.gnmi_available = false;
  report.elapsed_ms = 7;
  EXPECT_EQ(report_json(report).dump(),
            R"({"host":"h","vendor":"","netconf_available":true,"gnmi_available":false,)"
            R"("restconf_available":null,"ssh_banner":"SSH-2.0-\u001b","firmware":null,)"
            R"("diagnostics":[],"elapsed_ms":7})");
}

}  // namespace
}  // namespace ov
