#include "python/api_catalog_functions.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "check/lint.h"
#include "check/report_document.h"
#include "lookup/entry_document.h"
#include "lookup/every_type.h"
#include "lookup/inventory.h"
#include "lookup/request.h"
#include "python/api_arguments.h"
#include "python/arguments.h"
#include "python/errors.h"
#include "python/json_object.h"
#include "python/py_ref.h"
#include "python/released_lock.h"
#include "python/text.h"
#include "reading/answer_reading.h"
#include "reports/matrix.h"
#include "reports/schema.h"
#include "reports/vendor_list.h"

namespace ov::py {
namespace {

// A UserWarning for each settings name no placeholder takes; false when the
// warnings filter turned one into an exception, which is then pending.
bool warn_unused_settings(const std::vector<std::string>& names, UnusedScope scope) {
  for (const std::string& name : names) {
    const std::string message = "settings: " + unused_setting_message(name, scope);
    if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 1) != 0) return false;
  }
  return true;
}

// lookup() and show(): the same arguments, two documents.
constexpr std::array<std::string_view, 6> kLookupParams{
    "catalog", "vendor", "firmware", "command", "settings", "exact_firmware"};

template <Json (*Document)(const LookupAnswer&)>
PyObject* entry_function(std::string_view name, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    const CallableSpec callable{"", name, kLookupParams, 4, 4};
    std::array<PyObject*, kLookupParams.size()> bound{};
    if (!bind_arguments(callable, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    std::string vendor;
    std::string firmware;
    std::string command;
    Settings settings;
    bool exact = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("vendor", [&] { return to_text(bound[1], vendor); }) ||
        !convert_argument("firmware", [&] { return to_text(bound[2], firmware); }) ||
        !convert_argument("command", [&] { return to_text(bound[3], command); }) ||
        !convert_argument("settings", [&] { return to_settings(bound[4], settings); }) ||
        !convert_argument("exact_firmware", [&] { return to_flag(bound[5], exact); })) {
      return nullptr;
    }
    const auto answer = answer_lookup(*catalog, {vendor, firmware, command, exact}, settings);
    if (!answer) return raise_failure(answer.error());
    if (!warn_unused_settings(answer->unused_settings, UnusedScope::Text)) return nullptr;
    return from_json(Document(*answer));
  });
}

PyObject* lookup(PyObject*, PyObject* args, PyObject* kwargs) {
  return entry_function<lookup_document>("lookup", args, kwargs);
}

PyObject* show(PyObject*, PyObject* args, PyObject* kwargs) {
  return entry_function<show_document>("show", args, kwargs);
}

constexpr std::array<std::string_view, 5> kTableParams{"catalog", "vendor", "firmware", "settings",
                                                       "exact_firmware"};
constexpr CallableSpec kTableSpec{"", "table", kTableParams, 3, 3};

PyObject* table(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kTableParams.size()> bound{};
    if (!bind_arguments(kTableSpec, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    std::string vendor;
    std::string firmware;
    Settings settings;
    bool exact = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("vendor", [&] { return to_text(bound[1], vendor); }) ||
        !convert_argument("firmware", [&] { return to_text(bound[2], firmware); }) ||
        !convert_argument("settings", [&] { return to_settings(bound[3], settings); }) ||
        !convert_argument("exact_firmware", [&] { return to_flag(bound[4], exact); })) {
      return nullptr;
    }
    const auto answer = answer_table(*catalog, vendor, firmware, exact, settings);
    if (!answer) return raise_failure(answer.error());
    if (!warn_unused_settings(answer->unused_settings, UnusedScope::Table)) return nullptr;
    return from_json(table_document(*answer));
  });
}

constexpr std::array<std::string_view, 4> kInventoryParams{"catalog", "text", "name",
                                                           "exact_firmware"};
constexpr CallableSpec kInventorySpec{"", "read_inventory", kInventoryParams, 2, 2};

PyObject* read_inventory(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kInventoryParams.size()> bound{};
    if (!bind_arguments(kInventorySpec, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    std::string text;
    std::string name;
    bool exact = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("text", [&] { return to_text(bound[1], text); }) ||
        !convert_argument("name", [&] { return to_optional_text(bound[2], name, "inventory"); }) ||
        !convert_argument("exact_firmware", [&] { return to_flag(bound[3], exact); })) {
      return nullptr;
    }
    const auto rows = ov::read_inventory(text, name, InventoryUse::Plan, catalog, exact);
    if (!rows) return raise_failure(rows.error());
    Json list = Json::array();
    for (const InventoryRow& row : *rows) list.push_back(inventory_row_json(row));
    return from_json(list);
  });
}

constexpr std::array<std::string_view, 2> kVendorsParams{"catalog", "aliases"};
constexpr CallableSpec kVendorsSpec{"", "vendors", kVendorsParams, 0, 1};

PyObject* vendors(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kVendorsParams.size()> bound{};
    if (!bind_arguments(kVendorsSpec, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    bool aliases = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("aliases", [&] { return to_flag(bound[1], aliases); })) {
      return nullptr;
    }
    return from_json(aliases ? aliases_json(*catalog) : vendors_json(*catalog));
  });
}

constexpr std::array<std::string_view, 1> kMatrixParams{"catalog"};
constexpr CallableSpec kMatrixSpec{"", "matrix", kMatrixParams, 0};

PyObject* matrix(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kMatrixParams.size()> bound{};
    if (!bind_arguments(kMatrixSpec, args, kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); })) {
      return nullptr;
    }
    return from_json(matrix_json(build_matrix(*catalog)));
  });
}

PyObject* schema(PyObject*, PyObject*) {
  return guarded([]() -> PyObject* { return from_json(vendor_file_schema()); });
}

constexpr std::array<std::string_view, 1> kCheckParams{"path"};
constexpr CallableSpec kCheckSpec{"", "check", kCheckParams, 1};

PyObject* check(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    std::array<PyObject*, kCheckParams.size()> bound{};
    if (!bind_arguments(kCheckSpec, args, kwargs, bound)) return nullptr;
    std::string path;
    if (!convert_argument("path", [&] { return to_text(bound[0], path); })) return nullptr;
    const auto report = check::check_directory(path);
    if (!report) return raise(PyExc_ValueError, report.error().located_message());
    return from_json(check::report_document(path, *report));
  });
}

constexpr std::array<std::string_view, 5> kParseParams{"catalog", "vendor", "firmware", "command",
                                                       "exact_firmware"};
constexpr CallableSpec kParseSpec{"", "parse", kParseParams, 4, 4};

// parse(catalog, vendor, firmware, command, *answers, exact_firmware=False):
// the positional arguments after the fourth are the answers.
PyObject* parse(PyObject*, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    const Py_ssize_t given = PyTuple_Size(args);
    if (given < 0) return fail();
    const Py_ssize_t named = given < 4 ? given : 4;
    PyRef head = PyRef::steal(PyTuple_GetSlice(args, 0, named));
    if (!head) return fail();
    std::array<PyObject*, kParseParams.size()> bound{};
    if (!bind_arguments(kParseSpec, head.get(), kwargs, bound)) return nullptr;
    const Catalog* catalog = nullptr;
    std::string vendor;
    std::string firmware;
    std::string command;
    bool exact = false;
    if (!convert_argument("catalog", [&] { return to_catalog(bound[0], catalog); }) ||
        !convert_argument("vendor", [&] { return to_text(bound[1], vendor); }) ||
        !convert_argument("firmware", [&] { return to_text(bound[2], firmware); }) ||
        !convert_argument("command", [&] { return to_text(bound[3], command); }) ||
        !convert_argument("exact_firmware", [&] { return to_flag(bound[4], exact); })) {
      return nullptr;
    }
    std::vector<std::string> answers(static_cast<std::size_t>(given - named));
    for (Py_ssize_t i = named; i < given; ++i) {
      if (!convert_argument("answers", [&] {
            return to_text(PyTuple_GetItem(args, i), answers[static_cast<std::size_t>(i - named)]);
          })) {
        return nullptr;
      }
    }
    std::optional<std::expected<reading::ParsedAnswers, Failure>> parsed;
    {
      ReleasedLock unlocked;
      parsed = reading::parse_answers(*catalog, {vendor, firmware, command, exact}, answers);
    }
    if (!*parsed) return raise_failure(parsed->error());
    return from_json(reading::parse_document(std::move(**parsed)));
  });
}

PyMethodDef definitions[] = {
    {"lookup", as_c_function(lookup), METH_VARARGS | METH_KEYWORDS,
     "lookup(catalog, vendor, firmware, command, *, settings=None, exact_firmware=False)\n--\n\n"
     "The document of `vantrel lookup --json`: vendor (the catalog's identifier), firmware,\n"
     "firmware_used, command, status, applies_to, cli, placeholders and reason. `vendor`\n"
     "may be an alias, `firmware` as a device prints it; `settings` maps placeholder names\n"
     "to values (a name the text does not use gives a UserWarning). `catalog` None is the\n"
     "compiled-in catalog. A refused name, firmware, missing value or a value holding a\n"
     "control character raises ValueError."},
    {"show", as_c_function(show), METH_VARARGS | METH_KEYWORDS,
     "show(catalog, vendor, firmware, command, *, settings=None, exact_firmware=False)\n--\n\n"
     "The document of `vantrel show --json`: the keys of lookup(), then sample_output,\n"
     "parser_notes, config_required, notes, unverified, description and alternatives."},
    {"table", as_c_function(table), METH_VARARGS | METH_KEYWORDS,
     "table(catalog, vendor, firmware, *, settings=None, exact_firmware=False)\n--\n\n"
     "The document of `vantrel table --json`: vendor, firmware, firmware_used and commands,\n"
     "each command type with its status, cli and reason."},
    {"read_inventory", as_c_function(read_inventory), METH_VARARGS | METH_KEYWORDS,
     "read_inventory(catalog, text, *, name=\"inventory\", exact_firmware=False)\n--\n\n"
     "The rows of a CSV inventory as `vantrel table --inventory` reads them: line, host,\n"
     "vendor (the catalog's identifier), firmware (as given) and values (the non-empty\n"
     "cells of the columns named like placeholders). Every row's vendor and firmware\n"
     "must read as lookup() reads them. A refused row raises ValueError naming `name`,\n"
     "the line and the column, as the tool does."},
    {"vendors", as_c_function(vendors), METH_VARARGS | METH_KEYWORDS,
     "vendors(catalog=None, *, aliases=False)\n--\n\n"
     "The vendors of the catalog (vendor, display_name, manufacturer, product_family,\n"
     "commands), or with aliases=True the other names users give them (alias, vendor),\n"
     "those the catalog gives effect to."},
    {"matrix", as_c_function(matrix), METH_VARARGS | METH_KEYWORDS,
     "matrix(catalog=None)\n--\n\n"
     "The support matrix of `vantrel matrix --json`: vendors, protocols, states and rows."},
    {"schema", as_c_function(schema), METH_NOARGS,
     "schema()\n--\n\n"
     "The JSON Schema (draft 2020-12) of the vendor-file format, as `vantrel schema`."},
    {"parse", as_c_function(parse), METH_VARARGS | METH_KEYWORDS,
     "parse(catalog, vendor, firmware, command, *answers, exact_firmware=False)\n--\n\n"
     "Read the device's answers to the commands of the entry a lookup chooses (one\n"
     "answer per command, in order) into the command type's typed records: the\n"
     "document of `vantrel parse --json`: vendor, firmware, firmware_used, command,\n"
     "status, parsers, records and unread (the lines no rule read). The interpreter\n"
     "lock is released while it reads."},
    {"check", as_c_function(check), METH_VARARGS | METH_KEYWORDS,
     "check(path)\n--\n\n"
     "The findings of `vantrel check --json` for a directory of vendor files: directory,\n"
     "files, errors, warnings and findings. A directory that cannot be listed raises\n"
     "ValueError."},
};

}  // namespace

std::span<PyMethodDef> catalog_function_defs() { return definitions; }

}  // namespace ov::py
