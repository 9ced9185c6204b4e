// What `lookup` and `show` share: their arguments, the lookup they run, and
// how a lookup's outcome exits.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalog/lookup.h"
#include "cli/catalog_source.h"
#include "cli/exit_status.h"
#include "lookup/request.h"

namespace CLI {
class App;
}

namespace ov::cli {

struct LookupOptions {
  std::string vendor;
  std::string firmware;
  std::string command;
  CatalogSource source;
  bool exact_firmware = false;
  std::vector<std::string> sets;  // --set NAME=VALUE
  bool json = false;
};

// VENDOR FIRMWARE COMMAND and the options of both subcommands; `json_help`
// says what --json prints.
void add_lookup_options(CLI::App& app, LookupOptions& options, std::string json_help);

// Runs the lookup and hands its answer to `print`, whose status it returns;
// a refusal is said here.
Exit answer_lookup_options(const LookupOptions& options,
                           const std::function<Exit(const LookupAnswer&)>& print);

// The status of an outcome: Ok for text, 1 for no text, 3 for a malformed
// range; the reason is said on stderr unless under --json, whose document
// said it already.
Exit outcome_exit(const LookupOutcome& outcome, bool json);

}  // namespace ov::cli
