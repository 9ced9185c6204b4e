#include "lookup/csv.h"

namespace ov {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// One pass over the text; each function reads one production of the grammar.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {
    if (text_.starts_with(kByteOrderMark)) text_.remove_prefix(kByteOrderMark.size());
  }

  std::expected<std::vector<CsvRecord>, CsvError> read_text() {
    std::vector<CsvRecord> records;
    while (at_ < text_.size()) {
      CsvRecord record{line_, {}};
      bool quoted = false;
      do {
        auto cell = read_cell(quoted);
        if (!cell) return std::unexpected(std::move(cell.error()));
        record.cells.push_back(std::move(*cell));
      } while (take(','));
      newline();
      const bool blank_line = record.cells.size() == 1 && record.cells[0].empty() && !quoted;
      if (!blank_line) records.push_back(std::move(record));
    }
    return records;
  }

 private:
  // Sets `quoted` when the cell was quoted.
  std::expected<std::string, CsvError> read_cell(bool& quoted) {
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
    if (!take('"')) return read_bare();
    quoted = true;
    auto inside = read_quoted();
    if (!inside) return inside;
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
    if (at_ < text_.size() && text_[at_] != ',' && !at_line_break()) {
      return std::unexpected(CsvError{line_, "text after a closing quote"});
    }
    return inside;
  }

  // After the opening quote, up to and past the closing one.
  std::expected<std::string, CsvError> read_quoted() {
    const std::size_t opened_on = line_;
    std::string out;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') {
        if (!take('"')) return out;
      } else if (c == '\n') {
        ++line_;
      }
      out += c;
    }
    return std::unexpected(CsvError{opened_on, "unterminated quote"});
  }

  std::string read_bare() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] != ',' && !at_line_break()) ++at_;
    std::string_view cell = text_.substr(start, at_ - start);
    while (!cell.empty() && is_blank(cell.back())) cell.remove_suffix(1);
    return std::string(cell);
  }

  void newline() {
    take('\r');  // only ever met before a '\n': a lone CR is text of its cell
    if (take('\n')) ++line_;
  }

  bool at_line_break() const { return text_[at_] == '\n' || text_.substr(at_).starts_with("\r\n"); }

  bool take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
};

}  // namespace

std::expected<std::vector<CsvRecord>, CsvError> read_csv(std::string_view text) {
  return CsvReader(text).read_text();
}

}  // namespace ov
