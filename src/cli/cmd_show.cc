// vantrel show VENDOR FIRMWARE COMMAND [--dir DIR | --extra-dir DIR]
//              [--exact-firmware] [--set NAME=VALUE]... [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <optional>
#include <string>

#include "catalog/alternatives.h"
#include "cli/lookup_options.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "lookup/entry_document.h"

namespace ov::cli {
namespace {

constexpr std::string_view kIndent = "    ";

// The entry's free-text fields, in the order the text form shows them.
struct EntrySection {
  std::string_view label;
  std::optional<std::string> CommandEntry::*field;
};
constexpr std::array<EntrySection, 4> kEntrySections{{
    {"Sample output", &CommandEntry::sample_output},
    {"Parser notes", &CommandEntry::parser_notes},
    {"Required configuration", &CommandEntry::config_required},
    {"Notes", &CommandEntry::notes},
}};

// `text` with each line indented, ending in one line break.
std::string indented(std::string_view text) {
  std::string out(kIndent);
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\n' && i + 1 < text.size()) out += kIndent;
  }
  if (out.back() != '\n') out += '\n';
  return out;
}

std::string section(std::string_view label, std::string_view body) {
  return "\n" + std::string(label) + ":\n" + indented(body);
}

// "key: value" lines of a record's fields; texts as they are, lists and
// mappings as JSON.
std::string field_lines(const Json& fields) {
  std::string lines;
  for (const auto& [key, value] : fields.items()) {
    if (value.is_null()) continue;
    lines += key + ": " + (value.is_string() ? value.get<std::string>() : json_text(value)) + "\n";
  }
  return lines;
}

// The text form of the shown entry: the show document's alternatives are
// rendered as they are in --json, field for field.
std::string show_text(const LookupAnswer& answer) {
  const LookupOutcome& outcome = answer.outcome;
  std::string out;
  if (const CommandEntry* entry = outcome.entry) {
    out += outcome.status == LookupStatus::Text ? std::string(answer.cli) : entry->cli;
    if (out.empty() || out.back() != '\n') out += '\n';
    out += section("Applies to", entry->applies_to);
    for (const EntrySection& part : kEntrySections) {
      const auto& text = entry->*part.field;
      if (text && !text->empty()) out += section(part.label, *text);
    }
    if (entry->unverified) out += section("Unverified", "the text was not checked on a device");
  }
  if (const CommandBlock* block = outcome.block) {
    if (block->description) out += section("Description", *block->description);
    const Json alternatives = alternatives_json(block->protocol_alternatives);
    for (const AlternativeInfo& alternative : kAlternatives) {
      const Json& fields = alternatives[std::string(alternative.key)];
      if (!fields.is_null()) out += section(alternative.label, field_lines(fields));
    }
  }
  // Without an entry the sections open the output: no blank first line.
  if (outcome.entry == nullptr && !out.empty()) out.erase(0, 1);
  return out;
}

Exit run_show(const LookupOptions& options) {
  return answer_lookup_options(options, [&](const LookupAnswer& answer) {
    if (options.json) {
      write_line(json_text(show_document(answer), 2));
    } else {
      write_out(show_text(answer));
    }
    return outcome_exit(answer.outcome, options.json);
  });
}

void wire_show(CLI::App& app, LookupOptions& options) {
  add_lookup_options(app, options,
                     "one JSON object: the keys of lookup --json, then sample_output,\n"
                     "parser_notes, config_required, notes, unverified, description and\n"
                     "alternatives (netconf, restconf, gnmi, eapi, rest_api, snmp,\n"
                     "dashboard_api); absent fields are null");
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "the entry was shown"},
    {Exit::Negative,
     "no text: no block of that type, no entry covers the firmware, or the\n"
     "chosen entry is NOT_SUPPORTED (what there is, is shown)"},
    {Exit::Usage,
     "usage error, unknown command type or vendor, invalid firmware version,\n"
     "a placeholder without a value while --set is given"},
    {Exit::Fault,
     "the catalog could not be read, an applies_to of the block does not\n"
     "parse, or the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_show(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "show", "Show the entry the lookup selects, whole, and its block's protocol alternatives.");
  app->footer(exit_status_help(kExits));
  return make_subcommand<LookupOptions>(app, wire_show, run_show);
}

}  // namespace ov::cli
