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

// Releases the interpreter lock for its lifetime; the lock is back before any
// exception leaves the scope.
class ReleasedLock {
 public:
  ReleasedLock() : state_(PyEval_SaveThread()) {}
  ReleasedLock(const ReleasedLock&) = delete;
  ReleasedLock& operator=(const ReleasedLock&) = delete;
  ~ReleasedLock() { PyEval_RestoreThread(state_); }

 private:
  PyThreadState* state_;
};

PyObject* optional_flag(const std::optional<bool>& flag) {
  PyObject* value = !flag ? Py_None : *flag ? Py_True : Py_False;
  return PyRef::borrow(value).release();
}

PyObject* optional_text(const std::optional<std::string>& text) {
  return text ? from_text(*text) : PyRef::borrow(Py_None).release();
}

PyObject* text_list(const std::vector<std::string>& lines) {
  PyRef list = PyRef::steal(PyList_New(static_cast<Py_ssize_t>(lines.size())));
  if (!list) return fail();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    PyObject* line = from_text(lines[i]);
    if (line == nullptr) return nullptr;
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), line);  // steals
  }
  return list.release();
}

PyObject* unsigned_128(unsigned __int128 value) {
  PyRef low = PyRef::steal(PyLong_FromUnsignedLongLong(static_cast<unsigned long long>(value)));
  const auto high_part = static_cast<unsigned long long>(value >> 64);
  if (!low || high_part == 0) return low ? low.release() : fail();
  PyRef high = PyRef::steal(PyLong_FromUnsignedLongLong(high_part));
  PyRef shift = PyRef::steal(PyLong_FromLong(64));
  if (!high || !shift) return fail();
  PyRef shifted = PyRef::steal(PyNumber_Lshift(high.get(), shift.get()));
  if (!shifted) return fail();
  PyObject* sum = PyNumber_Add(shifted.get(), low.get());
  return sum != nullptr ? sum : fail();
}

// Inserts `key` with `value` (a new reference, taken over; null means the
// value could not be built).
bool set_item(PyObject* dict, const char* key, PyObject* value) {
  PyRef owned = PyRef::steal(value);
  if (!owned) return false;
  PyRef name = PyRef::steal(PyUnicode_FromString(key));
  return name && PyDict_SetItem(dict, name.get(), owned.get()) == 0;
}

PyObject* report_dict(const probe::ProbeReport& report) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return fail();
  PyObject* d = dict.get();
  // In the order callers see when they iterate the dict.
  const bool built = set_item(d, "host", from_text(report.host)) &&
                     set_item(d, "vendor", from_text(report.vendor)) &&
                     set_item(d, "netconf_available", optional_flag(report.netconf_available)) &&
                     set_item(d, "gnmi_available", optional_flag(report.gnmi_available)) &&
                     set_item(d, "restconf_available", optional_flag(report.restconf_available)) &&
                     set_item(d, "ssh_banner", optional_text(report.ssh_banner)) &&
                     set_item(d, "firmware", optional_text(report.firmware)) &&
                     set_item(d, "diagnostics", text_list(report.diagnostics)) &&
                     set_item(d, "elapsed_ms", unsigned_128(report.elapsed_ms));
  return built ? dict.release() : fail();
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
    reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(probe_device)),
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
