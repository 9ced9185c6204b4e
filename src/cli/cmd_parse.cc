// vantrel parse --template FILE [INPUT] [--json]
#include <CLI/CLI.hpp>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <expected>
#include <memory>
#include <string>
#include <variant>

#include "base/errno_text.h"
#include "base/unique_fd.h"
#include "cli/output.h"
#include "cli/subcommand.h"
#include "parse/template.h"

namespace ov::cli {
namespace {

struct ParseOptions {
  std::string template_file;
  std::string input = "-";
  bool json = false;
};

// The whole of `fd`, bytes as they are.
std::expected<std::string, std::string> read_all(int fd) {
  std::string text;
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
std::expected<std::string, std::string> read_input(const std::string& path) {
  if (path == "-") {
    auto text = read_all(STDIN_FILENO);
    if (!text) return std::unexpected("cannot read standard input: " + text.error());
    return text;
  }
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  auto text = fd.valid() ? read_all(fd.get()) : std::unexpected(errno_text(errno));
  if (!text) return std::unexpected("cannot read " + path + ": " + text.error());
  return text;
}

nlohmann::ordered_json item_json(const parse::ListItem& item) {
  if (std::holds_alternative<std::monostate>(item)) return nullptr;
  if (const auto* text = std::get_if<std::string>(&item)) return *text;
  nlohmann::ordered_json groups = nlohmann::ordered_json::object();
  for (const auto& [name, text] : std::get<parse::Groups>(item)) {
    groups[name] = text ? nlohmann::ordered_json(*text) : nullptr;
  }
  return groups;
}

nlohmann::ordered_json field_json(const parse::Field& field) {
  if (const auto* text = std::get_if<std::string>(&field)) return *text;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  if (const auto* texts = std::get_if<std::vector<std::string>>(&field)) {
    for (const std::string& text : *texts) list.push_back(text);
    return list;
  }
  for (const parse::ListItem& item : std::get<std::vector<parse::ListItem>>(field)) list.push_back(item_json(item));
  return list;
}

// A cell of the text table: a List's items joined by ", ", groups as name=text.
std::string field_text(const parse::Field& field) {
  if (const auto* text = std::get_if<std::string>(&field)) return *text;
  const nlohmann::ordered_json list = field_json(field);
  std::string out;
  for (const auto& item : list) {
    if (!out.empty()) out += ", ";
    if (!item.is_object()) {
      out += item.is_string() ? item.get<std::string>() : "";
      continue;
    }
    std::string groups;
    for (const auto& [name, text] : item.items()) {
      if (!groups.empty()) groups += ' ';
      groups += name + "=" + (text.is_null() ? "" : text.get<std::string>());
    }
    out += groups;
  }
  return out;
}

void print_json(const parse::Template& compiled, const parse::ParseResult& result) {
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const auto& record : result.records) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < record.size(); ++i) object[compiled.header()[i]] = field_json(record[i]);
    records.push_back(std::move(object));
  }
  write_line(json_text(records, 2));
}

// Columns two blanks apart, each as wide as its widest cell.
void print_table(const parse::Template& compiled, const parse::ParseResult& result) {
  std::vector<std::vector<std::string>> rows{compiled.header()};
  for (const auto& record : result.records) {
    std::vector<std::string> row;
    for (const parse::Field& field : record) row.push_back(field_text(field));
    rows.push_back(std::move(row));
  }
  std::vector<std::size_t> widths(compiled.header().size(), 0);
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

void report_unread(const parse::ParseResult& result) {
  for (const parse::UnreadLine& line : result.unread) {
    const std::string note =
        "vantrel: input line " + std::to_string(line.number) + " unread: " + line.text + "\n";
    std::fwrite(note.data(), 1, note.size(), stderr);
  }
}

Exit run_parse(const ParseOptions& options) {
  if (options.template_file == "-" && options.input == "-")
    return fail(Exit::Usage, "the template and the input cannot both come from standard input");
  const auto template_text = read_input(options.template_file);
  if (!template_text) return fail(Exit::Fault, template_text.error());
  const auto compiled = parse::Template::compile(*template_text);
  if (!compiled) return fail(Exit::Usage, compiled.error().message());
  const auto input = read_input(options.input);
  if (!input) return fail(Exit::Fault, input.error());
  const auto result = compiled->parse(*input);
  if (!result) return fail(Exit::Negative, result.error().message());
  if (options.json) {
    print_json(*compiled, *result);
  } else {
    print_table(*compiled, *result);
  }
  report_unread(*result);
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 4> kExits{{
    {Exit::Ok, "the records were printed"},
    {Exit::Negative,
     "the input stopped the template: a rule's Error action was taken, or a\n"
     "match exceeded its budget"},
    {Exit::Usage, "usage error, or the template has a fault (its line is named)"},
    {Exit::Fault, "the template or the input could not be read, or the output could not\nbe written"},
}};

}  // namespace

Subcommand add_parse(CLI::App& root) {
  auto options = std::make_shared<ParseOptions>();
  CLI::App* app = root.add_subcommand(
      "parse", "Turn command output into records with a TextFSM template.");
  app->add_option("--template", options->template_file, "the TextFSM template file, or - for standard input")
      ->required();
  app->add_option("INPUT", options->input, "the command output; - or none for standard input");
  app->add_flag("--json", options->json,
                "the records as one JSON list of objects keyed by the Value names,\n"
                "List values as lists; a failure is {\"error\": ...}");
  app->footer(
      std::string("Records are those python3-textfsm gives. Input lines that no rule of the\n"
                  "current state matched are noted on stderr, one a line.") +
      "\n\n" + exit_status_help(kExits));
  return {app, [options] { return run_parse(*options); }};
}

}  // namespace ov::cli
