// Reading a device's answers to the commands of a catalog entry: the entry
// and the parser are chosen as a lookup chooses, each answer is read by its
// template, and the raw records become the command type's typed records.
#pragma once

#include <cstddef>
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/json.h"
#include "catalog/catalog.h"
#include "lookup/cli_commands.h"
#include "lookup/request.h"
#include "reading/json_writer.h"
#include "reading/parser_set.h"
#include "reading/typed_records.h"

namespace ov::reading {

struct UnreadAnswerLine {
  std::size_t answer;  // zero-based, in the order given
  std::size_t line;    // one-based
  std::string text;
};

struct ParsedAnswers {
  LookupAnswer lookup;
  const ParserChoice* parser = nullptr;  // null when the lookup gave no text or no parser reads it
  TypedRecords records;
  std::vector<UnreadAnswerLine> unread;
};

// Refuses what a lookup refuses, a number of answers that is not one per
// command of the entry (a write operation's answers are read as one), and an
// answer that a template's Error rule or match budget stops.
std::expected<ParsedAnswers, Failure> parse_answers(const Catalog& catalog,
                                                    const LookupQuery& query,
                                                    std::span<const std::string> answers);

// vendor, firmware, firmware_used, command, status (as lookup's, or
// no_parser), parsers (the template that read each answer, with the parser's
// applies_to), records and unread (answer, line, text).
Json parse_document(const ParsedAnswers& parsed);

// The same document written as it is made, as json_text(parse_document())
// prints it: the records are typed one at a time.
void write_parse_document(const ParsedAnswers& parsed, JsonWriter& out);

}  // namespace ov::reading
