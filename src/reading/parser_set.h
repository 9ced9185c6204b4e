// The compiled-in parsers: for each vendor an index of parsers, each chosen
// like a command, by command type and an applies_to range (the matching one
// with the most comparators, the earliest on a tie), and naming one template
// per command of the catalog's entry (a TextFSM template, or a JSON map for a
// JSON answer). Templates and maps are compiled on first use and
// kept; a parser set is immutable once built and may be shared by threads.
#pragma once

#include <cstddef>
#include <expected>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalog/command_type.h"
#include "catalog/version_range.h"
#include "parse/template.h"
#include "reading/json_map.h"

namespace ov::reading {

// What reads one answer: a TextFSM template for text, a JSON map for the
// Dashboard API's JSON; both give the raw records a template gives.
class AnswerReader {
 public:
  explicit AnswerReader(parse::Template reader) : reader_(std::move(reader)) {}
  explicit AnswerReader(JsonMap reader) : reader_(std::move(reader)) {}

  const std::vector<std::string>& header() const;
  // The raw records and unread lines, or why the answer could not be read.
  std::expected<parse::ParseResult, std::string> read(std::string_view answer) const;

 private:
  std::variant<parse::Template, JsonMap> reader_;
};

struct ParserChoice {
  std::string vendor;  // the catalog's identifier
  CommandType type;
  std::string applies_to;
  VersionRange range;
  std::vector<std::string> templates;  // file names, such as "arista-eos/mac_table.textfsm"
  std::map<std::string, std::string, std::less<>> defaults;
};

class ParserSet {
 public:
  // The compiled-in parsers, read once. Fails with the message of an index
  // or range that does not read (a fault of the build, caught by its tests).
  static std::expected<const ParserSet*, std::string> bundled();

  // The parser for `type` on the vendor's `firmware`, or nullptr.
  const ParserChoice* choose(std::string_view vendor, CommandType type,
                             const FirmwareVersion& firmware) const;

  // Every parser, in index order.
  const std::vector<ParserChoice>& parsers() const { return parsers_; }

  // The compiled reader of that name, or the reason it cannot be had.
  std::expected<const AnswerReader*, std::string> compiled(std::string_view name) const;

 private:
  struct TemplateFile {
    std::string_view text;
    mutable std::once_flag once;
    mutable std::optional<std::expected<AnswerReader, std::string>> compiled;
  };

  std::vector<ParserChoice> parsers_;
  std::map<std::string, std::unique_ptr<TemplateFile>, std::less<>> files_;
};

}  // namespace ov::reading
