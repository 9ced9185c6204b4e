// A probe report as the documents give it: the keys and order of
// probe_device's dict, absent values as null.
#pragma once

#include "base/json.h"
#include "probe/probe_report.h"

namespace ov {

Json report_json(const probe::ProbeReport& report);

}  // namespace ov
