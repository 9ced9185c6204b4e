#include "python/probe_device.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "probe/duration.h"
#include "probe/run_probe.h"
#include "python/arguments.h"
#include "python/errors.h"
#include "python/py_ref.h"
#include "python/released_lock.h"
#include "python/report_dict.h"
#include "python/text.h"

namespace ov::py {
namespace {

constexpr std::array<std::string_view, 4> kParams{"host", "vendor", "timeout_seconds", "skip"};
constexpr CallableSpec kSpec{"", "probe_device", kParams, 2};

constexpr double kDefaultTimeout = 5.0;
// Every step named once, with room to spare.
constexpr std::size_t kMostReservedSkips = 16;

bool to_timeout(PyObject* value, double& out) {
  if (value == nullptr) {
    out = kDefaultTimeout;
    return true;
  }
  const double seconds = PyFloat_AsDouble(value);
  if (seconds == -1.0 && PyErr_Occurred()) return false;
  // NaN and everything below a millisecond, negatives included, probe with 1 ms.
  out = seconds >= probe::kShortestTimeout ? seconds : probe::kShortestTimeout;
  return true;
}

bool to_skip_list(PyObject* value, std::vector<std::string>& out) {
  if (value == nullptr) return true;
  if (PyUnicode_Check(value)) {
    // The module's fixed wording, relied on by callers: keep it.
    raise(PyExc_TypeError, "Can't extract `str` to `Vec`");
    return false;
  }
  if (!PySequence_Check(value)) return raise_conversion_error(value, "Sequence");
  // The length is only a hint: a sequence may claim far more items than it
  // yields, and that must not fail the call.
  const Py_ssize_t hint = PySequence_Size(value);
  if (hint < 0) {
    PyErr_Clear();
  } else {
    out.reserve(std::min(static_cast<std::size_t>(hint), kMostReservedSkips));
  }
  PyRef iterator = PyRef::steal(PyObject_GetIter(value));
  if (!iterator) return false;
  while (PyRef item = PyRef::steal(PyIter_Next(iterator.get()))) {
    if (!to_text(item.get(), out.emplace_back())) return false;
  }
  return !PyErr_Occurred();
}

PyObject* probe_device(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kParams.size()> bound{};
    if (!bind_arguments(kSpec, args, kwargs, bound)) return nullptr;
    std::string host;
    std::string vendor;
    double seconds = 0.0;
    std::vector<std::string> skip;
    if (!convert_argument("host", [&] { return to_text(bound[0], host); }) ||
        !convert_argument("vendor", [&] { return to_text(bound[1], vendor); }) ||
        !convert_argument("timeout_seconds", [&] { return to_timeout(bound[2], seconds); }) ||
        !convert_argument("skip", [&] { return to_skip_list(bound[3], skip); })) {
      return nullptr;
    }
    const auto duration = probe::duration_from_seconds(seconds);
    if (!duration) {
      return raise_panic(
          "cannot convert float seconds to Duration: value is either too big or NaN");
    }

    probe::ProbeReport report;
    {
      ReleasedLock unlocked;
      report = probe::run_probe(host, vendor, *duration, skip);
    }
    return report_dict(report);
  });
}

PyMethodDef definition = {
    "probe_device",
    as_c_function(probe_device),
    METH_VARARGS | METH_KEYWORDS,
    "probe_device(host, vendor, timeout_seconds=5.0, skip=...)\n--\n\n"
    "Run the protocol-capability probe against `host`. Returns a dict\n"
    "mirroring [`ProbeReport`](src/probe/probe_report.h).\n"
    "\n"
    "The probe is synchronous; the binding layer (src/python/probe_device.cc) releases the GIL\n"
    "during the blocking I/O, so this call doesn't stall other Python\n"
    "threads.",
};

}  // namespace

PyMethodDef* probe_device_def() { return &definition; }

}  // namespace ov::py
