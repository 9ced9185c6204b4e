// Comma-separated text as spreadsheets and inventory tools write it (RFC
// 4180), read into records of cells, each record with the line it starts on.
//
//   text    = [BOM] record *(newline record) [newline]
//   record  = cell *("," cell)
//   cell    = *blank (quoted / bare) *blank     ; the blanks are dropped
//   quoted  = '"' *(any but '"' / '""') '"'      ; '""' is one quote; line breaks kept
//   bare    = *(any but "," and a line break)    ; a '"' inside is text
//   newline = CRLF / LF
//   blank   = " " / TAB
//
// A record that is one bare cell of blanks only (a blank line) is skipped.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

struct CsvRecord {
  std::size_t line;  // where the record starts, 1-based
  std::vector<std::string> cells;
};

struct CsvError {
  std::size_t line;     // 1-based
  std::string problem;  // "unterminated quote"
};

// The records of `text`, or the first place it breaks the grammar: a quote
// left open to the end (at the line it opens on) or text after a closing
// quote.
std::expected<std::vector<CsvRecord>, CsvError> read_csv(std::string_view text);

}  // namespace ov
