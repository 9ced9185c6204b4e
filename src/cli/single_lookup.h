// The lookup that `lookup` and `show` share: their arguments, and every way
// it can fail before there is an outcome to print.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/lookup.h"
#include "cli/catalog_source.h"
#include "cli/entry_json.h"
#include "cli/exit_status.h"

namespace CLI {
class App;
}

namespace ov::cli {

struct LookupArguments {
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
void add_lookup_arguments(CLI::App& app, LookupArguments& arguments, std::string json_help);

// A lookup that reached an outcome: Text, NoBlock, NoEntry, NotSupported or
// InvalidRange.
struct LookupAnswer {
  const LookupRequest& request;
  const LookupOutcome& outcome;
  std::string_view cli;  // the Text outcome's text, its placeholders filled
};

// Runs the lookup and hands its answer to `print`, whose status it returns.
// An unknown command type or vendor, a bad firmware or --set, a placeholder
// left without a value and an unreadable catalog fail here.
Exit answer_lookup(const LookupArguments& arguments,
                   const std::function<Exit(const LookupAnswer&)>& print);

// How the lookup exits once its answer was printed: Ok for text, else the
// outcome's status with its reason said on stderr (under --json the document
// said it already).
Exit lookup_exit(const LookupAnswer& answer, bool json);

}  // namespace ov::cli
