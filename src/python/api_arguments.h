// Converting the arguments of the package's functions: each converter takes
// a bound argument (null when it was not given) and fails with the exception
// pending, as the converters of arguments.h expect.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "fleet/probe_ports.h"
#include "lookup/placeholders.h"
#include "probe/duration.h"
#include "python/python.h"

namespace ov::py {

// Remembers the module's Catalog type; called once by the module's entry.
bool init_catalog_argument();

// A Catalog instance, or None (and absent) for the compiled-in catalog,
// loaded on first use and kept. `out` points into the instance, which the
// call's arguments keep alive.
bool to_catalog(PyObject* value, const Catalog*& out);

// A str, or None (and absent) for `fallback`.
bool to_optional_text(PyObject* value, std::string& out, std::string_view fallback = {});

// True or False exactly; absent is false.
bool to_flag(PyObject* value, bool& out);

// A mapping of placeholder names to str values; None or absent sets nothing.
bool to_settings(PyObject* value, Settings& out);

// Every item of an iterable of str (a str alone is refused).
bool to_text_items(PyObject* value, std::vector<std::string>& out);

// Seconds as a float or int; absent is 5. A value that is not a positive
// number of seconds is a ValueError.
bool to_probe_timeout(PyObject* value, probe::Duration& out);

// An int from 1 to 16384, or None (and absent) for nothing.
bool to_jobs(PyObject* value, std::optional<std::size_t>& out);

// A mapping of probe step names to ports (int); None or absent sets nothing.
bool to_ports(PyObject* value, PortSettings& out);

// An iterable of command type names, or None (and absent) for every type; in
// command-type order.
bool to_command_types(PyObject* value, std::vector<CommandType>& out);

}  // namespace ov::py
