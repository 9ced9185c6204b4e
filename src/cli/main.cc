// vantrel: the vendor command catalog and the device probe at the shell.
#include <CLI/CLI.hpp>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/version.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "cli/subcommand.h"

namespace {

// CLI11 words its messages as sentences; this tool speaks in lower-case
// phrases. Only a capitalised word is lowered, never a name such as VENDOR.
std::string usage_message(const CLI::ParseError& error) {
  std::string text = error.what();
  if (text.size() >= 2 && ov::is_ascii_upper(text[0]) && ov::is_ascii_alpha(text[1]) &&
      !ov::is_ascii_upper(text[1])) {
    text[0] = ov::ascii_lower(text[0]);
  }
  return text + " (see --help)";
}

// --json among the options (before a "--"): every failure, a usage error
// included, is then a JSON document.
bool asks_for_json(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") return false;
    if (argument == "--json") return true;
  }
  return false;
}

int run(int argc, char** argv) {
  using namespace ov::cli;
  CLI::App app{"The vendor command catalog and the TCP device probe.", "vantrel"};
  app.set_version_flag("--version", std::string("vantrel ") + ov::kVersion);
  app.footer(exit_status_help(kExitStatuses));
  std::vector<std::unique_ptr<Subcommand>> subcommands;
  for (auto add : {add_vendors, add_lookup, add_show, add_table, add_check, add_probe, add_plan,
                   add_matrix, add_schema, add_parse}) {
    subcommands.push_back(add(app));
  }
  if (asks_for_json(argc, argv)) failures_as_json();
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    return code(fail(Exit::Usage, usage_message(error)));
  }
  for (const auto& subcommand : subcommands) {
    if (subcommand->app()->parsed()) return code(finish(subcommand->run()));
  }
  return code(fail(Exit::Usage, "a subcommand is required (see --help)"));
}

}  // namespace

int main(int argc, char** argv) {
  // Nothing may end the process with a trace: the last guard turns any escaped
  // exception into one line and the fault status.
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    return code(
        ov::cli::fail(ov::cli::Exit::Fault, std::string("internal error: ") + error.what()));
  } catch (...) {
    return code(ov::cli::fail(ov::cli::Exit::Fault, "internal error"));
  }
}
