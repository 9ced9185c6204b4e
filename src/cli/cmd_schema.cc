// vantrel schema [--json]
#include <CLI/CLI.hpp>
#include <array>

#include "cli/output.h"
#include "reading/records_schema.h"
#include "reports/schema.h"
#include "cli/subcommand.h"

namespace ov::cli {
namespace {

struct SchemaOptions {
  bool records = false;
  bool json = false;  // accepted for symmetry
};

void wire_schema(CLI::App& app, SchemaOptions& options) {
  app.add_flag("--records", options.records,
               "the schema of the typed records vantrel parse gives, per command type");
  app.add_flag("--json", options.json, "accepted for symmetry: the schema is a JSON document anyway");
}

Exit run_schema(const SchemaOptions& options) {
  write_line(json_text(options.records ? reading::records_json_schema() : vendor_file_schema(), 2));
  return Exit::Ok;
}

constexpr std::array<ExitMeaning, 3> kExits{{
    {Exit::Ok, "the schema was printed"},
    {Exit::Usage, "usage error"},
    {Exit::Fault, "the output could not be written"},
}};

}  // namespace

std::unique_ptr<Subcommand> add_schema(CLI::App& root) {
  CLI::App* app = root.add_subcommand(
      "schema", "Print a JSON Schema (draft 2020-12) of the vendor-file format, for editors.");
  app->footer(
      std::string("Save it next to the vendor files and name it in each file's first line,\n"
                  "  # yaml-language-server: $schema=vendor-file.schema.json\n"
                  "or in the editor's YAML schema setting. It is built from the reader's own\n"
                  "field tables; vantrel check still judges what a schema cannot (ranges,\n"
                  "duplicate command types).") +
      "\n\n" + exit_status_help(kExits));
  return make_subcommand<SchemaOptions>(app, wire_schema, run_schema);
}

}  // namespace ov::cli
