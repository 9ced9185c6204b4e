// vantrel table VENDOR FIRMWARE [--dir DIR | --extra-dir DIR] [--exact-firmware]
//               [--set NAME=VALUE]... [--json]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/command_type.h"
#include "cli/catalog_source.h"
#include "cli/every_type.h"
#include "cli/outcome_table.h"
#include "cli/output.h"
#include "cli/placeholders.h"
#include "cli/subcommand.h"
#include "cli/user_names.h"

namespace ov::cli {
namespace {

struct TableOptions {
  std::string vendor;
  std::string firmware;
  CatalogSource source;
  bool exact_firmware = false;
  std::vector<std::string> sets;
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

// `texts`: each row's text, its placeholders filled, or its reason.
void print_table(const std::vector<LookupOutcome>& answers, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < answers.size(); ++i) {
    std::string line(kCommandTypes[i].yaml);
    line.resize(kNameColumn, ' ');
    if (answers[i].status != LookupStatus::Text) line += "(none) ";
    line += indented(texts[i]);
    write_line(line);
  }
}

void print_json(const LookupKey& key, const TableOptions& options,
                const std::vector<LookupOutcome>& answers, const std::vector<std::string>& texts) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const bool found = answers[i].status == LookupStatus::Text;
    rows.push_back({{"type", kCommandTypes[i].yaml},
                    {"status", info(answers[i].status).name},
                    {"cli", found ? nlohmann::ordered_json(texts[i]) : nullptr},
                    {"reason", found ? nullptr : nlohmann::ordered_json(texts[i])}});
  }
  const nlohmann::ordered_json document{{"vendor", key.vendor},
                                        {"firmware", options.firmware},
                                        {"firmware_used", key.firmware},
                                        {"commands", rows}};
  write_line(json_text(document, 2));
}

// Each row's text with its placeholders filled, or its reason; with any
// --set, every placeholder left without a value fails the table.
std::expected<std::vector<std::string>, std::string> row_texts(
    const Settings& settings, const std::vector<LookupOutcome>& answers) {
  std::vector<std::string> texts;
  std::vector<std::string> missing;
  for (const LookupOutcome& answer : answers) {
    std::string text(answer.text());
    if (!settings.empty() && answer.status == LookupStatus::Text) {
      auto filled = settings.fill(text);
      if (filled) {
        text = std::move(*filled);
      } else {
        for (std::string& name : filled.error()) {
          if (std::ranges::find(missing, name) == missing.end()) missing.push_back(std::move(name));
        }
      }
    }
    texts.push_back(std::move(text));
  }
  if (!missing.empty()) return std::unexpected(missing_placeholders_message(missing));
  return texts;
}

Exit run_table(const TableOptions& options) {
  const auto settings = Settings::parse(options.sets);
  if (!settings) return fail(Exit::Usage, settings.error());
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(Exit::Fault, catalog.error());
  const LookupKey key =
      lookup_key(*catalog, options.vendor, options.firmware, options.exact_firmware);
  const auto every = answer_every_type(*catalog, key, options.vendor);
  if (!every) return every.error();
  const std::vector<LookupOutcome>& answers = every->outcomes;
  const auto texts = row_texts(*settings, answers);
  if (!texts) return fail(Exit::Usage, texts.error());
  if (options.json) {
    print_json(key, options, answers, *texts);
  } else {
    print_table(answers, *texts);
  }
  return after_every_type(*every, options.json);
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the table was printed"},
    {Exit::Usage,
     "usage error, unknown vendor, invalid firmware version, a placeholder\n"
     "without a value while --set is given"},
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
  add_catalog_options(*app, options->source);
  add_exact_firmware_flag(*app, options->exact_firmware);
  add_set_option(*app, options->sets);
  app->add_flag("--json", options->json,
                "one JSON document: vendor, firmware, firmware_used and commands, each\n"
                "with type, status (text, no_block, no_entry, not_supported,\n"
                "invalid_range), cli and reason; a failure is {\"error\": ...}");
  app->footer(
      std::string("Rows come in the order of the 25 command types. A row without text shows\n"
                  "(none) and the reason.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_table(*options); }};
}

}  // namespace ov::cli
