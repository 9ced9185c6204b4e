// vantrel schema [--json]
#include <CLI/CLI.hpp>
#include <array>
#include <memory>

#include "cli/output.h"
#include "cli/schema.h"
#include "cli/subcommand.h"

namespace ov::cli {
namespace {

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the schema was printed"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the output could not be written"},
}};

}  // namespace

Subcommand add_schema(CLI::App& root) {
  auto json = std::make_shared<bool>(false);
  CLI::App* app = root.add_subcommand(
      "schema", "Print a JSON Schema (draft 2020-12) of the vendor-file format, for editors.");
  app->add_flag("--json", *json, "accepted for symmetry: the schema is a JSON document anyway");
  app->footer(
      std::string("Save it next to the vendor files and name it in each file's first line,\n"
                  "  # yaml-language-server: $schema=vendor-file.schema.json\n"
                  "or in the editor's YAML schema setting. It is built from the reader's own\n"
                  "field tables; vantrel check still judges what a schema cannot (ranges,\n"
                  "duplicate command types).") +
      "\n\n" + exit_status_help(kExits));
  return {app, [] {
            write_line(json_text(vendor_file_schema(), 2));
            return Exit::Ok;
          }};
}

}  // namespace ov::cli
