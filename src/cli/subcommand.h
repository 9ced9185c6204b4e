// A subcommand: its CLI11 parser and the options it fills, owned together,
// and what runs when the command line chose it.
#pragma once

#include <memory>

#include "cli/exit_status.h"

namespace CLI {
class App;
}

namespace ov::cli {

class Subcommand {
 public:
  virtual ~Subcommand() = default;
  Subcommand(const Subcommand&) = delete;
  Subcommand& operator=(const Subcommand&) = delete;

  CLI::App* app() const { return app_; }
  // Reads the options the parser filled in.
  virtual Exit run() = 0;

 protected:
  explicit Subcommand(CLI::App* app) : app_(app) {}

 private:
  CLI::App* app_;
};

// A subcommand whose options are a member: `wire` binds CLI11 to them once
// the object is in place, so they live exactly as long as the parser that
// writes them. No option can outlive or predate its storage.
template <class Options>
class OwnedSubcommand final : public Subcommand {
 public:
  using Wire = void (*)(CLI::App& app, Options& options);
  using Body = Exit (*)(const Options& options);

  OwnedSubcommand(CLI::App* app, Wire wire, Body body) : Subcommand(app), body_(body) {
    wire(*app, options_);
  }
  Exit run() override { return body_(options_); }

 private:
  Options options_;
  Body body_;
};

template <class Options>
std::unique_ptr<Subcommand> make_subcommand(CLI::App* app,
                                            typename OwnedSubcommand<Options>::Wire wire,
                                            typename OwnedSubcommand<Options>::Body body) {
  return std::make_unique<OwnedSubcommand<Options>>(app, wire, body);
}

// Each adds its subcommand to `root`.
std::unique_ptr<Subcommand> add_vendors(CLI::App& root);
std::unique_ptr<Subcommand> add_lookup(CLI::App& root);
std::unique_ptr<Subcommand> add_show(CLI::App& root);
std::unique_ptr<Subcommand> add_table(CLI::App& root);
std::unique_ptr<Subcommand> add_check(CLI::App& root);
std::unique_ptr<Subcommand> add_probe(CLI::App& root);
std::unique_ptr<Subcommand> add_plan(CLI::App& root);
std::unique_ptr<Subcommand> add_matrix(CLI::App& root);
std::unique_ptr<Subcommand> add_schema(CLI::App& root);
std::unique_ptr<Subcommand> add_parse(CLI::App& root);

}  // namespace ov::cli
