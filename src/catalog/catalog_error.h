// The one error value of the catalog, with every message built here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "catalog/command_type.h"

namespace ov {

// A place in a YAML text: zero-based, as libyaml reports it.
struct Mark {
  std::size_t index = 0;
  std::size_t line = 0;
  std::size_t column = 0;
};

// Why a vendor file was rejected: either a reading rule (message, optional
// node path, optional mark) or libyaml's own syntax error.
struct YamlError {
  enum class Kind : std::uint8_t { Rule, Parser };
  Kind kind = Kind::Rule;
  std::string message;                 // rule message, or the parser's problem text
  std::optional<std::string> path;     // reading rules only; "." is the root
  std::optional<Mark> mark;            // rule: node position; parser: problem position
  std::optional<std::string> context;  // parser only
  Mark context_mark;

  static YamlError rule(std::string message, std::optional<std::string> path = std::nullopt,
                        std::optional<Mark> mark = std::nullopt);
  static YamlError parser(std::string problem, Mark problem_mark,
                          std::optional<std::string> context, Mark context_mark);

  // "path: message at line L column C", or the parser form with its context.
  std::string render() const;
};

// An operating-system error (code with the platform's text) or a plain message.
struct IoError {
  int code = 0;         // errno, or 0 for a plain message
  std::string message;  // used when code is 0

  static IoError from_errno(int code);
  static IoError plain(std::string message);
  // "No such file or directory (os error 2)" or the plain message.
  std::string render() const;
};

namespace catalog_error {
struct Parse {
  std::string file;
  YamlError error;
};
struct Io {
  IoError error;
  std::string path;  // the directory or file it concerns; not part of message()
};
struct UnknownVendor {
  std::string vendor;
};
struct InvalidRange {
  std::string range;
  std::string reason;
};
struct InvalidFirmware {
  std::string firmware;
};
struct NoEntry {
  std::string vendor;
  std::optional<std::string> firmware;
  CommandType command;
};
struct NotSupported {
  CommandType command;
  std::string vendor;
  std::string notes;
};
}  // namespace catalog_error

// Owns all its texts, so it outlives the catalog that produced it.
struct CatalogError {
  using Detail = std::variant<catalog_error::Parse, catalog_error::Io, catalog_error::UnknownVendor,
                              catalog_error::InvalidRange, catalog_error::InvalidFirmware,
                              catalog_error::NoEntry, catalog_error::NotSupported>;
  Detail detail;

  template <class T>
  bool is() const {
    return std::holds_alternative<T>(detail);
  }
  // The module's message, fixed: an I/O error does not name its path here.
  std::string message() const;
  // message(), but an I/O error names the directory or file it concerns:
  // "catalog I/O error: PATH: No such file or directory (os error 2)".
  std::string located_message() const;
};

// An Io error about the directory or file at `path`.
CatalogError io_error(IoError error, std::string_view path);

// `text` between double quotes with debug escapes (\" \\ \0 \t \r \n, \u{hex}
// for other non-printable characters).
std::string debug_quoted(std::string_view text);

}  // namespace ov
