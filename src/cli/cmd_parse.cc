// vantrel parse --template FILE [INPUT] [--json]
// vantrel parse VENDOR FIRMWARE COMMAND [FILE...] [--dir DIR | --extra-dir DIR]
//               [--exact-firmware] [--strict] [--json]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <array>
#include <cerrno>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "base/errno_text.h"
#include "base/unique_fd.h"
#include "cli/catalog_source.h"
#include "cli/common_options.h"
#include "cli/lookup_options.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "parse/template.h"
#include "reading/answer_reading.h"
#include "reading/raw_records.h"
#include "reading/record_schema.h"

namespace ov::cli {
namespace {

struct ParseOptions {
  std::optional<std::string> template_file;
  std::vector<std::string> arguments;  // INPUT, or VENDOR FIRMWARE COMMAND FILE...
  CatalogSource source;
  bool exact_firmware = false;
  bool strict = false;
  bool json = false;
};

// The whole of `fd`, bytes as they are: a device's answer need not be UTF-8.
std::expected<std::string, std::string> read_all(int fd) {
  std::string text;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    text.reserve(static_cast<std::size_t>(status.st_size));
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return text;
    if (n < 0) {
      if (errno == EINTR) continue;  // a signal interrupted the read; nothing was lost
      return std::unexpected(errno_text(errno));
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

// `path`, or standard input for "-".
std::expected<std::string, Failure> read_input(const std::string& path) {
  if (path == "-") {
    auto text = read_all(STDIN_FILENO);
    if (!text) return std::unexpected(usage_failure("cannot read standard input: " + text.error()));
    return std::move(*text);
  }
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  auto text = fd.valid() ? read_all(fd.get())
                         : std::expected<std::string, std::string>(std::unexpect, errno_text(errno));
  if (!text) return std::unexpected(usage_failure("cannot read " + path + ": " + text.error()));
  return std::move(*text);
}

// A cell: a text as it is, anything else as compact JSON, null as nothing.
std::string cell(const Json& value) {
  if (value.is_null()) return {};
  if (value.is_string()) return value.get<std::string>();
  return json_text(value);
}

// Columns two blanks apart, each as wide as its widest cell.
void print_table(const std::vector<std::string>& names, const Json& records) {
  std::vector<std::vector<std::string>> rows{names};
  for (const Json& record : records) {
    std::vector<std::string> row;
    for (const std::string& name : names) row.push_back(cell(record[name]));
    rows.push_back(std::move(row));
  }
  std::vector<std::size_t> widths(names.size(), 0);
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - row[i].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    write_line(line);
  }
}

void note_unread(std::string_view where, std::size_t line, std::string_view text) {
  const std::string note =
      "vantrel: " + std::string(where) + "line " + std::to_string(line) + " unread: " +
      std::string(text) + "\n";
  std::fwrite(note.data(), 1, note.size(), stderr);
}

Exit run_template(const ParseOptions& options) {
  if (options.arguments.size() > 1) return fail(Exit::Usage, "--template takes one INPUT at most");
  const std::string input_path = options.arguments.empty() ? "-" : options.arguments[0];
  if (*options.template_file == "-" && input_path == "-") {
    return fail(Exit::Usage, "the template and the input cannot both come from standard input");
  }
  const auto template_text = read_input(*options.template_file);
  if (!template_text) return fail(Exit::Fault, template_text.error().message);
  const auto compiled = parse::Template::compile(*template_text);
  if (!compiled) return fail(Exit::Usage, compiled.error().message());
  const auto input = read_input(input_path);
  if (!input) return fail(Exit::Fault, input.error().message);
  const auto result = compiled->parse(*input);
  if (!result) return fail(Exit::Negative, result.error().message());
  const Json records = reading::raw_records_json(compiled->header(), result->records);
  if (options.json) {
    write_line(json_text(records, 2));
  } else {
    print_table(compiled->header(), records);
  }
  // The records leave no room for them: unread lines are said on stderr.
  for (const parse::UnreadLine& line : result->unread) note_unread("input ", line.number, line.text);
  return options.strict && !result->unread.empty() ? Exit::Negative : Exit::Ok;
}

Exit run_catalog(const ParseOptions& options) {
  if (options.arguments.size() < 3) {
    return fail(Exit::Usage, "VENDOR FIRMWARE COMMAND are required, or --template (see --help)");
  }
  if (!find_command_type(options.arguments[2])) {
    return fail(unknown_command_type(options.arguments[2]));
  }
  std::vector<std::string> answers;
  std::vector<std::string> files(options.arguments.begin() + 3, options.arguments.end());
  if (files.empty()) files.push_back("-");
  for (const std::string& file : files) {
    auto answer = read_input(file);
    if (!answer) return fail(Exit::Fault, answer.error().message);
    answers.push_back(std::move(*answer));
  }
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  const LookupQuery query{options.arguments[0], options.arguments[1], options.arguments[2],
                          options.exact_firmware};
  auto parsed = reading::parse_answers(*catalog, query, answers);
  if (!parsed) return fail(parsed.error());
  const LookupOutcome& outcome = parsed->lookup.outcome;
  if (outcome.status != LookupStatus::Text) {
    if (options.json) write_line(json_text(reading::parse_document(std::move(*parsed))));
    return outcome_exit(outcome, options.json);
  }
  const bool unread = !parsed->unread.empty();
  const Exit read = options.strict && unread ? Exit::Negative : Exit::Ok;
  if (parsed->parser == nullptr) {
    if (options.json) {
      write_line(json_text(reading::parse_document(std::move(*parsed))));
      return Exit::Negative;
    }
    return fail(Exit::Negative, "no parser reads " + std::string(yaml_name(parsed->lookup.command)) +
                                    " on " + parsed->lookup.vendor + " " +
                                    parsed->lookup.firmware_used);
  }
  if (options.json) {
    // One line, as lookup --json: an answer may hold a hundred thousand
    // records, so they are written as they are typed.
    reading::JsonWriter out(write_out);
    reading::write_parse_document(*parsed, out);
    write_out("\n");
    return read;
  }
  std::vector<std::string> names;
  for (const auto& field : reading::record_schema(parsed->lookup.command).fields) {
    names.emplace_back(field.name);
  }
  print_table(names, parsed->records.json());
  for (const auto& line : parsed->unread) {
    note_unread("answer " + std::to_string(line.answer + 1) + " ", line.line, line.text);
  }
  return read;
}

Exit run_parse(const ParseOptions& options) {
  return options.template_file ? run_template(options) : run_catalog(options);
}

void wire_parse(CLI::App& app, ParseOptions& options) {
  app.add_option("ARGS", options.arguments,
                 "VENDOR FIRMWARE COMMAND, then the answer of each command of the entry\n"
                 "(FILE, - or none for standard input); with --template, INPUT");
  app.add_option("--template", options.template_file,
                 "read INPUT with this TextFSM template instead of the catalog's parsers")
      ->type_name("FILE");
  add_catalog_options(app, options.source);
  add_exact_firmware_flag(app, options.exact_firmware);
  app.add_flag("--strict", options.strict, "exit 1 when a line of an answer was not read");
  app.add_flag("--json", options.json,
               "one JSON document: vendor, firmware, firmware_used, command, status,\n"
               "parsers, records and unread; with --template, the records as a list of\n"
               "objects keyed by the template's Value names");
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "the answers were read"},
    {Exit::Negative,
     "no text or no parser for the request, a template's Error rule stopped\n"
     "the reading, or (with --strict) a line was not read"},
    {Exit::Usage,
     "usage error, unknown vendor or command type, invalid firmware version,\n"
     "a template that does not read, answers not one per command"},
    {Exit::Fault,
     "the catalog, a template or an answer could not be read, or the output\n"
     "could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_parse(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "parse", "Read a device's answers into typed records, or any output with a template.");
  app->footer(
      std::string("The catalog's parser is chosen like the command, by vendor, command type\n"
                  "and firmware; records are the same on every vendor (vantrel schema\n"
                  "--records). Lines no rule read are said on stderr (unread under --json).") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<ParseOptions>(app, wire_parse, run_parse);
}

}  // namespace ov::cli
