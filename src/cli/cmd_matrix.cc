// vantrel matrix [--dir DIR | --extra-dir DIR] [--format text|markdown|html|json] [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <string>

#include "cli/catalog_source.h"
#include "reports/matrix.h"
#include "cli/output.h"
#include "cli/subcommand.h"

namespace ov::cli {
namespace {

struct MatrixOptions {
  CatalogSource source;
  std::string format = "text";
  bool json = false;
};

struct MatrixFormat {
  std::string_view name;
  std::string (*render)(const Matrix& matrix);
};

std::string json_form(const Matrix& matrix) { return json_text(matrix_json(matrix), 2); }

constexpr std::array<MatrixFormat, 4> kFormats{{
    {"text", matrix_text},
    {"markdown", matrix_markdown},
    {"html", matrix_html},
    {"json", json_form},
}};

Exit run_matrix(const MatrixOptions& options) {
  const auto catalog = load_catalog(options.source);
  if (!catalog) return fail(catalog.error());
  // Both arms are views: a mixed ternary would make a temporary string.
  const std::string_view wanted =
      options.json ? std::string_view{"json"} : std::string_view{options.format};
  for (const MatrixFormat& format : kFormats) {
    if (format.name == wanted) write_line(format.render(build_matrix(*catalog)));
  }
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the matrix was printed"},
    {Exit::Usage, "usage error, such as an unknown format"},
    {Exit::Fault, "the catalog could not be read, or the output could not be written"},
}};

void wire_matrix(CLI::App& app, MatrixOptions& options) {
  add_catalog_options(app, options.source);
  std::vector<std::string> names;
  for (const MatrixFormat& format : kFormats) names.emplace_back(format.name);
  app.add_option("--format", options.format,
                  "text (a table for the terminal), markdown, html (one self-contained\n"
                  "page) or json")
      ->check(CLI::IsMember(names))
      ->default_str("text");
  app.add_flag("--json", options.json, "the same as --format json");
}

}  // namespace

std::unique_ptr<Subcommand> add_matrix(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "matrix",
      "Show which command types each vendor can do, from which firmware, by which protocols.");
  app->footer(
      std::string("Rows are the 25 command types, columns the catalog's vendors in catalog\n"
                  "order. A cell lists the applies_to ranges of the vendor's block, NS:\n"
                  "marking a NOT_SUPPORTED one, and the protocol alternatives it has.") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<MatrixOptions>(app, wire_matrix, run_matrix);
}

}  // namespace ov::cli
