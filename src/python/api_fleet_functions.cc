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
#include "lookup/fleet_plan.h"
#include "lookup/inventory.h"
#include "lookup/user_names.h"
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

// The state of a fleet iterator: the probes alone, or the plans of the
// hosts. Its probes run on their own threads from the call on; next() waits,
// without the interpreter lock, for the next host in order. Only one thread
// may wait at a time.
struct FleetState {
  std::unique_ptr<FleetProbe> probes;
  std::unique_ptr<FleetPlan> plans;
  PyRef catalog;        // keeps the plans' catalog alive; None for the compiled-in one
  bool busy = false;    // a thread waits in next()
  bool closed = false;  // close() was called while it waited

  FleetProbe* fleet() { return plans ? &plans->probe() : probes.get(); }
};

struct FleetIterator {
  PyObject_HEAD FleetState state;
};

PyObject* iterator_type = nullptr;

FleetState& state_of(PyObject* self) { return reinterpret_cast<FleetIterator*>(self)->state; }

// Ends the probing: the probes still running are abandoned and the threads
// joined, without the interpreter lock, so other threads run meanwhile.
void end_fleet(FleetState& state) {
  if (state.fleet() == nullptr) return;
  std::unique_ptr<FleetProbe> probes = std::move(state.probes);
  std::unique_ptr<FleetPlan> plans = std::move(state.plans);
  ReleasedLock unlocked;
  if (probes) probes->stop();
  if (plans) plans->probe().stop();
  probes.reset();
  plans.reset();
}

PyObject* iterator_next(PyObject* self) {
  return guarded([&]() -> PyObject* {
    FleetState& state = state_of(self);
    if (state.busy) return raise(PyExc_ValueError, "fleet iterator already executing");
    FleetProbe* fleet = state.fleet();
    if (fleet == nullptr) return nullptr;  // exhausted or closed: StopIteration
    std::optional<probe::ProbeReport> report;
    state.busy = true;
    try {
      ReleasedLock unlocked;
      report = fleet->next();
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
    if (!state.plans) return report_dict(*report);
    return from_json(host_plan_json(state.plans->plan(std::move(*report))));
  });
}

PyObject* iterator_close(PyObject* self, PyObject*) {
  return guarded([&]() -> PyObject* {
    FleetState& state = state_of(self);
    if (state.busy) {
      // The waiting thread ends the fleet when it wakes.
      state.closed = true;
      state.fleet()->stop();
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

// A new iterator over `state`'s probes.
PyObject* new_iterator(FleetState state) {
  auto* type = reinterpret_cast<PyTypeObject*>(iterator_type);
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* self = alloc(type, 0);
  if (self == nullptr) return fail();
  new (&state_of(self)) FleetState(std::move(state));
  return self;
}

// The hosts, the vendor echoed, the timeout and jobs: what both functions take.
struct FleetArguments {
  std::vector<std::string> hosts;
  std::vector<std::string> vendors;  // one per host, from an inventory; else the vendor given
  probe::Duration timeout{};
  std::optional<std::size_t> jobs;
};

// The open-file budget, as the tool's: a probe beyond it would fail its socket.
std::size_t jobs_for(const FleetArguments& arguments) {
  return probes_within_descriptor_limit(
      arguments.jobs.value_or(default_jobs(arguments.hosts.size())));
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

constexpr std::array<std::string_view, 7> kProbeParams{
    "hosts", "vendor", "timeout_seconds", "skip", "jobs", "ports", "inventory"};
constexpr CallableSpec kProbeSpec{"", "probe_many", kProbeParams, 0, 1};

bool given(PyObject* value) { return value != nullptr && value != Py_None; }

PyObject* probe_many(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kProbeParams.size()> bound{};
    if (!bind_arguments(kProbeSpec, args, kwargs, bound)) return nullptr;
    const bool inventory = given(bound[6]);
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
    PortSettings ports;
    if ((!inventory &&
         !convert_argument("hosts", [&] { return to_text_items(bound[0], fleet.hosts); })) ||
        !convert_argument("vendor", [&] { return to_optional_text(bound[1], vendor); }) ||
        !convert_argument("timeout_seconds",
                          [&] { return to_probe_timeout(bound[2], fleet.timeout); }) ||
        !convert_argument("skip", [&] { return !bound[3] || to_text_items(bound[3], skip); }) ||
        !convert_argument("jobs", [&] { return to_jobs(bound[4], fleet.jobs); }) ||
        !convert_argument("ports", [&] { return to_ports(bound[5], ports); }) ||
        (inventory &&
         !convert_argument("inventory", [&] { return to_text(bound[6], inventory_text); }))) {
      return nullptr;
    }
    if (auto known = check_step_names(skip); !known) {
      return raise(PyExc_ValueError, "skip: " + known.error().message);
    }
    if (inventory && !take_inventory(inventory_text, fleet)) return nullptr;
    if (fleet.vendors.empty()) fleet.vendors.assign(fleet.hosts.size(), vendor);
    const std::size_t jobs = jobs_for(fleet);
    std::vector<FleetHost> hosts;
    hosts.reserve(fleet.hosts.size());
    for (std::size_t i = 0; i < fleet.hosts.size(); ++i) {
      const StepPorts step_ports = ports.ports_for(aliased_vendor(fleet.vendors[i]));
      hosts.push_back({std::move(fleet.hosts[i]), std::move(fleet.vendors[i]), step_ports});
    }
    FleetState state;
    state.probes = std::make_unique<FleetProbe>(std::move(hosts), fleet.timeout, std::move(skip),
                                                jobs);
    return new_iterator(std::move(state));
  });
}

constexpr std::array<std::string_view, 10> kPlanParams{
    "catalog",  "hosts", "vendor",          "firmware", "inventory",
    "commands", "ports", "timeout_seconds", "jobs",     "exact_firmware"};
constexpr CallableSpec kPlanSpec{"", "plan", kPlanParams, 1, 4};

PyObject* plan(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kPlanParams.size()> bound{};
    if (!bind_arguments(kPlanSpec, args, kwargs, bound)) return nullptr;
    const bool inventory = given(bound[4]);
    const bool hosts_given = given(bound[1]) || given(bound[2]) || given(bound[3]);
    if (inventory == hosts_given || (!inventory && !(given(bound[1]) && given(bound[2]) &&
                                                     given(bound[3])))) {
      return raise(PyExc_TypeError, "plan() takes either hosts, vendor and firmware or inventory");
    }
    const Catalog* catalog = nullptr;
    FleetArguments fleet;
    std::string vendor;
    std::string firmware;
    std::string inventory_text;
    FleetPlanOptions options;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        (!inventory &&
         (!convert_argument("hosts", [&] { return to_text_items(bound[1], fleet.hosts); }) ||
          !convert_argument("vendor", [&] { return to_text(bound[2], vendor); }) ||
          !convert_argument("firmware", [&] { return to_text(bound[3], firmware); }))) ||
        (inventory &&
         !convert_argument("inventory", [&] { return to_text(bound[4], inventory_text); })) ||
        !convert_argument("commands", [&] { return to_command_types(bound[5], options.types); }) ||
        !convert_argument("ports", [&] { return to_ports(bound[6], options.ports); }) ||
        !convert_argument("timeout_seconds",
                          [&] { return to_probe_timeout(bound[7], fleet.timeout); }) ||
        !convert_argument("jobs", [&] { return to_jobs(bound[8], fleet.jobs); }) ||
        !convert_argument("exact_firmware",
                          [&] { return to_flag(bound[9], options.exact_firmware); })) {
      return nullptr;
    }
    std::vector<PlanHost> hosts;
    if (inventory) {
      // Every row is checked before anything is probed.
      auto rows = read_inventory(inventory_text, "inventory", InventoryUse::Plan, catalog,
                                 options.exact_firmware);
      if (!rows) return raise_failure(rows.error());
      for (InventoryRow& row : *rows) {
        hosts.push_back({std::move(row.host), std::move(row.vendor), std::move(row.firmware),
                         std::move(row.values)});
      }
    } else {
      for (std::string& host : fleet.hosts) hosts.push_back({std::move(host), vendor, firmware, {}});
    }
    options.timeout = fleet.timeout;
    options.jobs = probes_within_descriptor_limit(fleet.jobs.value_or(default_jobs(hosts.size())));
    // Refused before anything is probed, as the tool does.
    auto plans = FleetPlan::start(*catalog, std::move(hosts), std::move(options));
    if (!plans) return raise_failure(plans.error());
    FleetState state;
    state.plans = std::move(*plans);
    state.catalog = PyRef::borrow(bound[0] != nullptr ? bound[0] : Py_None);
    return new_iterator(std::move(state));
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
     "ports=None, inventory=None)\n--\n\n"
     "Probe every host as probe_device does, many at a time (jobs: up to 16384, by\n"
     "default every host up to 1024, within the limit on open files). Returns an\n"
     "iterator of the reports in host order, each as soon as it and those before it are\n"
     "done; the interpreter lock is released while it waits. close() stops the probing.\n"
     "ports: {step name: port}, as vantrel probe --port; with a vendor, gNMI is probed\n"
     "on its default port unless set. Instead of hosts, `inventory` may give the text of\n"
     "a CSV inventory: the hosts of its host column, each report naming the row's vendor\n"
     "column (then no vendor)."},
    {"plan", as_c_function(plan), METH_VARARGS | METH_KEYWORDS,
     "plan(catalog, hosts=None, vendor=None, firmware=None, *, inventory=None, "
     "commands=None, ports=None, timeout_seconds=5.0, jobs=None, exact_firmware=False)"
     "\n--\n\n"
     "Probe the hosts, then say for each command type how it can be done on each: an\n"
     "iterator of the documents of `vantrel plan --json`, in host order. The hosts with\n"
     "one vendor and firmware, or `inventory`, the text of a CSV inventory (host,\n"
     "vendor, firmware and placeholder columns, whose values fill each row's commands).\n"
     "Vendors and firmware are checked before anything is probed. commands: the\n"
     "command types to plan (every type by default); ports: {step name: port}, as\n"
     "vantrel plan --port."},
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
