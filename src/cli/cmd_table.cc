// vantrel table VENDOR FIRMWARE [--dir DIR] [--exact-firmware] [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/outcome_table.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "cli/user_names.h"

namespace ov::cli {
namespace {

struct TableOptions {
  std::string vendor;
  std::string firmware;
  std::optional<std::string> dir;
  bool exact_firmware = false;
  bool json = false;
};

// The text column: two blanks after the longest command type name.
constexpr std::size_t kNameColumn =
    std::ranges::max(kCommandTypes, {}, [](const CommandTypeName& n) { return n.yaml.size(); })
        .yaml.size() +
    2;

// `text` with every line after the first indented to the text column, and no
// final line break (a literal block keeps one).
std::string indented(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  std::string out;
  for (const char c : text) {
    out += c;
    if (c == '\n') out.append(kNameColumn, ' ');
  }
  return out;
}

void print_table(const std::vector<LookupOutcome>& answers) {
  for (std::size_t i = 0; i < answers.size(); ++i) {
    std::string line(kCommandTypes[i].yaml);
    line.resize(kNameColumn, ' ');
    if (answers[i].status != LookupStatus::Text) line += "(none) ";
    line += indented(answers[i].text());
    write_line(line);
  }
}

void print_json(const TableOptions& options, const std::vector<LookupOutcome>& answers) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const bool found = answers[i].status == LookupStatus::Text;
    rows.push_back({{"type", kCommandTypes[i].yaml},
                    {"status", info(answers[i].status).name},
                    {"cli", found ? nlohmann::ordered_json(answers[i].text()) : nullptr},
                    {"reason", found ? nullptr : nlohmann::ordered_json(answers[i].text())}});
  }
  const nlohmann::ordered_json document{
      {"vendor", options.vendor}, {"firmware", options.firmware}, {"commands", rows}};
  write_line(json_text(document, 2));
}

Exit run_table(const TableOptions& options) {
  const auto catalog = load_catalog(options.dir);
  if (!catalog) return fail(Exit::Fault, catalog.error().message());
  const LookupKey key =
      lookup_key(*catalog, options.vendor, options.firmware, options.exact_firmware);
  std::vector<LookupOutcome> answers;
  std::size_t malformed = 0;
  for (const CommandTypeName& name : kCommandTypes) {
    LookupOutcome row = classify_lookup(*catalog, key.vendor, key.firmware, name.type);
    // The vendor and the firmware are the same for every row: either fails
    // them all, and no table is worth printing.
    if (row.status == LookupStatus::UnknownVendor) {
      return fail(Exit::Usage, row.reason + vendor_suggestion(*catalog, options.vendor));
    }
    if (row.status == LookupStatus::InvalidFirmware) return fail(Exit::Usage, row.reason);
    if (row.status == LookupStatus::InvalidRange) ++malformed;
    answers.push_back(std::move(row));
  }
  if (options.json) {
    print_json(options, answers);
  } else {
    print_table(answers);
  }
  if (malformed != 0) {
    return fail(Exit::Fault, "applies_to does not parse for " + std::to_string(malformed) +
                                 (malformed == 1 ? " command type" : " command types"));
  }
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the table was printed"},
    {Exit::Usage, "usage error, unknown vendor, invalid firmware version"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to does not parse (the table\n"
     "is printed first), or the output could not be written"},
}};

}  // namespace

Subcommand add_table(CLI::App& root) {
  auto options = std::make_shared<TableOptions>();
  CLI::App* app = root.add_subcommand(
      "table",
      "Show every command type with its text for a vendor's firmware, or why there is none.");
  app->add_option("VENDOR", options->vendor, "vendor identifier, such as arista_eos")->required();
  app->add_option("FIRMWARE", options->firmware, "firmware version, such as 4.22.1F")->required();
  add_dir_option(*app, options->dir);
  add_exact_firmware_flag(*app, options->exact_firmware);
  app->add_flag("--json", options->json,
                "one JSON document: vendor, firmware and commands, each with type, status\n"
                "(text, no_block, no_entry, not_supported, invalid_range), cli and reason");
  app->footer(
      std::string("Rows come in the order of the 25 command types. A row without text shows\n"
                  "(none) and the reason.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_table(*options); }};
}

}  // namespace ov::cli
