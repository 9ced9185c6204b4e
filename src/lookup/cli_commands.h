// A stored CLI text as the lines to send: in which mode they run, and what a
// configuration session needs around them on each vendor. The stored text
// stays as it is; this is how it is sent.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/command_type.h"

namespace ov {

enum class CliMode : std::uint8_t { Exec, Config };

inline constexpr std::array<std::string_view, 2> kCliModeNames{"exec", "config"};

// The lines a raw session sends around the commands: enter, commands,
// commit, leave. A library that enters and leaves configuration mode itself
// takes only the commands, and commits where `commit` is not empty.
struct ConfigSession {
  std::vector<std::string> enter;
  std::vector<std::string> commit;
  std::vector<std::string> leave;
};

struct CliCommands {
  CliMode mode = CliMode::Exec;
  std::vector<std::string> commands;
  std::optional<ConfigSession> session;  // Config only
};

// The non-blank lines of `cli`, blanks around each taken off: the commands of
// an entry, one answer each.
std::vector<std::string> entry_commands(std::string_view cli);

// `cli` of `vendor` (a catalog identifier) for `type`, as lines and a mode.
// It runs in configuration mode when it enters it itself, when it ends with
// the vendor's commit, or when `type` changes the configuration; then the
// vendor's entering line is taken off its start and one leaving or commit
// line off its end, into the session, so that enter + commands + commit +
// leave sends what the stored text sends. A vendor without a CLI session
// (its texts are API calls) gets the lines in exec mode.
CliCommands cli_commands(std::string_view vendor, CommandType type, std::string_view cli);

}  // namespace ov
