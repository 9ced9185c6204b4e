// A probe report as a Python dict: the keys in the order of visit_report.
#pragma once

#include "probe/probe_report.h"
#include "python/python.h"

namespace ov::py {

// A new dict, or nullptr with an exception set.
PyObject* report_dict(const probe::ProbeReport& report);

}  // namespace ov::py
