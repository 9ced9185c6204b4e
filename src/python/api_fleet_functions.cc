#include "python/api_fleet_functions.h"

#include <array>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/descriptor_budget.h"
#include "fleet/fleet_probe.h"
#include "fleet/targets.h"
#include "lookup/every_type.h"
#include "lookup/inventory.h"
#include "lookup/plan.h"
#include "python/api_arguments.h"
#include "python/arguments.h"
#include "python/errors.h"
#include "python/json_object.h"
#include "python/py_ref.h"
#include "python/released_lock.h"
#include "python/report_dict.h"
#include "python/text.h"

namespace ov::py {
namespace {

// What a fleet iterator gives for each report: the report itself, or the
// host's plan against the catalog's answers.
struct Planning {
  PyRef catalog;  // keeps the answers' catalog alive; None for the compiled-in one
  TableAnswer answer;
};

// The state of a fleet iterator. Its probes run on their own threads from
// the call on; next() waits, without the interpreter lock, for the next host
// in order. Only one thread may wait at a time.
struct FleetState {
  std::unique_ptr<FleetProbe> fleet;
  std::optional<Planning> planning;
  bool busy = false;    // a thread waits in next()
  bool closed = false;  // close() was called while it waited
};

struct FleetIterator {
  PyObject_HEAD FleetState state;
};

PyObject* iterator_type = nullptr;

FleetState& state_of(PyObject* self) { return reinterpret_cast<FleetIterator*>(self)->state; }

// Ends the probing: the probes still running are abandoned and the threads
// joined, without the interpreter lock, so other threads run meanwhile.
void end_fleet(FleetState& state) {
  if (!state.fleet) return;
  std::unique_ptr<FleetProbe> fleet = std::move(state.fleet);
  ReleasedLock unlocked;
  fleet->stop();
  fleet.reset();
}

PyObject* iterator_next(PyObject* self) {
  return guarded([&]() -> PyObject* {
    FleetState& state = state_of(self);
    if (state.busy) return raise(PyExc_ValueError, "fleet iterator already executing");
    if (!state.fleet) return nullptr;  // exhausted or closed: StopIteration
    std::optional<probe::ProbeReport> report;
    state.busy = true;
    try {
      ReleasedLock unlocked;
      report = state.fleet->next();
    } catch (...) {
      // The lock is back: a probe failed, and the fleet ends with it.
      state.busy = false;
      end_fleet(state);
      throw;
    }
    state.busy = false;
    if (!report || state.closed) {
      end_fleet(state);
      return nullptr;
    }
    if (!state.planning) return report_dict(*report);
    const std::vector<PlanRow> rows = plan_rows(*report, state.planning->answer.outcomes);
    return from_json(host_plan_document(*report, rows));
  });
}

PyObject* iterator_close(PyObject* self, PyObject*) {
  return guarded([&]() -> PyObject* {
    FleetState& state = state_of(self);
    if (state.busy) {
      // The waiting thread ends the fleet when it wakes.
      state.closed = true;
      state.fleet->stop();
    } else {
      end_fleet(state);
    }
    return PyRef::borrow(Py_None).release();
  });
}

PyObject* iterator_self(PyObject* self) { return PyRef::borrow(self).release(); }

void iterator_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  end_fleet(state_of(self));
  state_of(self).~FleetState();
  auto free_slot = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_slot(self);
  Py_DECREF(type);
}

PyMethodDef iterator_methods[] = {
    {"close", iterator_close, METH_NOARGS,
     "close()\n--\n\nStop probing: the probes still running are abandoned."},
    {nullptr, nullptr, 0, nullptr},
};

// A new iterator over `fleet`.
PyObject* new_iterator(std::unique_ptr<FleetProbe> fleet, std::optional<Planning> planning) {
  auto* type = reinterpret_cast<PyTypeObject*>(iterator_type);
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* self = alloc(type, 0);
  if (self == nullptr) return fail();
  new (&state_of(self)) FleetState{std::move(fleet), std::move(planning)};
  return self;
}

// The hosts, the vendor echoed, the timeout and jobs: what both functions take.
struct FleetArguments {
  std::vector<std::string> hosts;
  std::vector<std::string> vendors;  // one per host, from an inventory; else the vendor given
  probe::Duration timeout{};
  std::optional<std::size_t> jobs;
};

std::unique_ptr<FleetProbe> start_fleet(FleetArguments arguments, std::string vendor,
                                        std::vector<std::string> skip) {
  const std::size_t wanted = arguments.jobs.value_or(default_jobs(arguments.hosts.size()));
  // The open-file budget, as the tool's: a probe beyond it would fail its socket.
  const std::size_t jobs = probes_within_descriptor_limit(wanted);
  if (arguments.vendors.empty()) arguments.vendors.assign(arguments.hosts.size(), vendor);
  return std::make_unique<FleetProbe>(std::move(arguments.hosts), std::move(arguments.vendors),
                                      arguments.timeout, std::move(skip), jobs);
}

// The hosts and vendors of an inventory's rows; false with ValueError pending
// for a refused row.
bool take_inventory(const std::string& text, FleetArguments& fleet) {
  auto rows = read_inventory(text, "inventory", InventoryUse::Probe, nullptr, false);
  if (!rows) return raise_failure(rows.error()), false;
  for (InventoryRow& row : *rows) {
    fleet.hosts.push_back(std::move(row.host));
    fleet.vendors.push_back(std::move(row.vendor));
  }
  return true;
}

constexpr std::array<std::string_view, 6> kProbeParams{"hosts", "vendor", "timeout_seconds",
                                                       "skip",  "jobs",   "inventory"};
constexpr CallableSpec kProbeSpec{"", "probe_many", kProbeParams, 0, 1};

bool given(PyObject* value) { return value != nullptr && value != Py_None; }

PyObject* probe_many(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kProbeParams.size()> bound{};
    if (!bind_arguments(kProbeSpec, args, kwargs, bound)) return nullptr;
    const bool inventory = given(bound[5]);
    if (given(bound[0]) == inventory) {
      return raise(PyExc_TypeError, "probe_many() takes either hosts or inventory");
    }
    if (inventory && given(bound[1])) {
      return raise(PyExc_TypeError,
                   "probe_many() takes no vendor with an inventory: each row names its own");
    }
    FleetArguments fleet;
    std::string vendor;
    std::string inventory_text;
    std::vector<std::string> skip;
    if ((!inventory &&
         !convert_argument("hosts", [&] { return to_text_items(bound[0], fleet.hosts); })) ||
        !convert_argument("vendor", [&] { return to_optional_text(bound[1], vendor); }) ||
        !convert_argument("timeout_seconds",
                          [&] { return to_probe_timeout(bound[2], fleet.timeout); }) ||
        !convert_argument("skip", [&] { return !bound[3] || to_text_items(bound[3], skip); }) ||
        !convert_argument("jobs", [&] { return to_jobs(bound[4], fleet.jobs); }) ||
        (inventory &&
         !convert_argument("inventory", [&] { return to_text(bound[5], inventory_text); }))) {
      return nullptr;
    }
    if (auto known = check_step_names(skip); !known) {
      return raise(PyExc_ValueError, "skip: " + known.error().message);
    }
    if (inventory && !take_inventory(inventory_text, fleet)) return nullptr;
    return new_iterator(start_fleet(std::move(fleet), std::move(vendor), std::move(skip)),
                        std::nullopt);
  });
}

constexpr std::array<std::string_view, 7> kPlanParams{
    "catalog", "hosts", "vendor", "firmware", "timeout_seconds", "jobs", "exact_firmware"};
constexpr CallableSpec kPlanSpec{"", "plan", kPlanParams, 4, 4};

PyObject* plan(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kPlanParams.size()> bound{};
    if (!bind_arguments(kPlanSpec, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    FleetArguments fleet;
    std::string vendor;
    std::string firmware;
    bool exact = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("hosts", [&] { return to_text_items(bound[1], fleet.hosts); }) ||
        !convert_argument("vendor", [&] { return to_text(bound[2], vendor); }) ||
        !convert_argument("firmware", [&] { return to_text(bound[3], firmware); }) ||
        !convert_argument("timeout_seconds",
                          [&] { return to_probe_timeout(bound[4], fleet.timeout); }) ||
        !convert_argument("jobs", [&] { return to_jobs(bound[5], fleet.jobs); }) ||
        !convert_argument("exact_firmware", [&] { return to_flag(bound[6], exact); })) {
      return nullptr;
    }
    // Refused before anything is probed, as the tool does.
    auto answer = answer_table(*catalog, vendor, firmware, exact, {});
    if (!answer) return raise_failure(answer.error());
    std::string catalog_vendor = answer->vendor;
    Planning planning{PyRef::borrow(bound[0] != nullptr ? bound[0] : Py_None), std::move(*answer)};
    return new_iterator(start_fleet(std::move(fleet), std::move(catalog_vendor), {}),
                        std::move(planning));
  });
}

constexpr std::array<std::string_view, 1> kTargetParams{"lines"};
constexpr CallableSpec kTargetSpec{"", "expand_targets", kTargetParams, 1};

PyObject* expand_targets(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kTargetParams.size()> bound{};
    if (!bind_arguments(kTargetSpec, args, kwargs, bound)) return nullptr;
    std::vector<std::string> lines;
    if (!convert_argument("lines", [&] { return to_text_items(bound[0], lines); })) return nullptr;
    TargetList targets;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (auto added = targets.add_line(lines[i], "line " + std::to_string(i + 1)); !added) {
        return raise(PyExc_ValueError, added.error());
      }
    }
    return text_list(std::move(targets).release());
  });
}

PyMethodDef definitions[] = {
    {"expand_targets", as_c_function(expand_targets), METH_VARARGS | METH_KEYWORDS,
     "expand_targets(lines)\n--\n\n"
     "The hosts of target lines as vantrel reads them: host names and addresses,\n"
     "IPv4 networks /16 to /32, IPv6 networks /112 to /128, last-octet ranges\n"
     "(192.0.2.10-20); blank lines and # comments skipped, each host once, in order. A\n"
     "bad line raises ValueError naming its number and text."},
    {"probe_many", as_c_function(probe_many), METH_VARARGS | METH_KEYWORDS,
     "probe_many(hosts=None, *, vendor=None, timeout_seconds=5.0, skip=(), jobs=None, "
     "inventory=None)\n--\n\n"
     "Probe every host as probe_device does, many at a time (jobs: up to 16384, by\n"
     "default every host up to 1024, within the limit on open files). Returns an\n"
     "iterator of the reports in host order, each as soon as it and those before it are\n"
     "done; the interpreter lock is released while it waits. close() stops the probing.\n"
     "Instead of hosts, `inventory` may give the text of a CSV inventory: the hosts of\n"
     "its host column, each report naming the row's vendor column (then no vendor)."},
    {"plan", as_c_function(plan), METH_VARARGS | METH_KEYWORDS,
     "plan(catalog, hosts, vendor, firmware, *, timeout_seconds=5.0, jobs=None, "
     "exact_firmware=False)\n--\n\n"
     "Probe the hosts, then say for each command type how it can be done on each: an\n"
     "iterator of the documents of `vantrel plan --json`, in host order. The vendor and\n"
     "firmware are checked before anything is probed."},
};

}  // namespace

bool init_fleet_functions() {
  if (iterator_type != nullptr) return true;
  PyType_Slot slots[] = {
      {Py_tp_dealloc, reinterpret_cast<void*>(iterator_dealloc)},
      {Py_tp_iter, reinterpret_cast<void*>(iterator_self)},
      {Py_tp_iternext, reinterpret_cast<void*>(iterator_next)},
      {Py_tp_methods, iterator_methods},
      {Py_tp_doc, const_cast<char*>("The reports of a fleet probe, in host order.")},
      {0, nullptr},
  };
  PyType_Spec type_spec = {"orvane_vantrel._api.FleetIterator", static_cast<int>(sizeof(FleetIterator)),
                      0, Py_TPFLAGS_DEFAULT, slots};
  iterator_type = PyType_FromSpec(&type_spec);  // kept for the process
  return iterator_type != nullptr;
}

std::span<PyMethodDef> fleet_function_defs() { return definitions; }

}  // namespace ov::py
