// A subcommand: its CLI11 parser, and what runs when the command line chose it.
#pragma once

#include <functional>

#include "cli/exit_status.h"

namespace CLI {
class App;
}

namespace ov::cli {

struct Subcommand {
  CLI::App* app = nullptr;
  std::function<Exit()> run;  // reads the options the parser filled in
};

// Each adds its subcommand to `root`. The options live as long as the process.
Subcommand add_vendors(CLI::App& root);
Subcommand add_lookup(CLI::App& root);
Subcommand add_show(CLI::App& root);
Subcommand add_table(CLI::App& root);
Subcommand add_check(CLI::App& root);
Subcommand add_probe(CLI::App& root);
Subcommand add_plan(CLI::App& root);
Subcommand add_matrix(CLI::App& root);
Subcommand add_schema(CLI::App& root);
Subcommand add_parse(CLI::App& root);

}  // namespace ov::cli
