// The matrix for terminals and for Markdown documents.
#include <algorithm>
#include <string>
#include <vector>

#include "reports/matrix.h"

namespace ov {
namespace {

// A table as rows of cells, the first row its head.
using Grid = std::vector<std::vector<std::string>>;

std::string protocol_codes(const MatrixCell& cell) {
  std::string codes;
  for (const AlternativeInfo* column : cell.protocols) codes += column->code;
  return codes.empty() ? codes : " [" + codes + "]";
}

std::string protocol_labels(const MatrixCell& cell) {
  std::string labels;
  for (const AlternativeInfo* column : cell.protocols) {
    labels += labels.empty() ? " (" : ", ";
    labels += column->label;
  }
  return labels.empty() ? labels : labels + ")";
}

// A range written across lines would break the table's rows.
std::string one_line(std::string text) {
  std::ranges::replace(text, '\n', ' ');
  std::ranges::replace(text, '\r', ' ');
  return text;
}

Grid grid(const Matrix& matrix, std::string (*protocols)(const MatrixCell&)) {
  Grid rows;
  auto& head = rows.emplace_back();
  head.emplace_back("COMMAND TYPE");
  for (const VendorFile* file : matrix.vendors) head.push_back(file->vendor);
  for (const CommandTypeName& name : kCommandTypes) {
    auto& row = rows.emplace_back();
    row.emplace_back(name.yaml);
    for (const MatrixCell& cell : matrix.rows[static_cast<std::size_t>(name.type)]) {
      row.push_back(one_line(cell_ranges(cell)) + protocols(cell));
    }
  }
  return rows;
}

std::string legend(bool codes) {
  std::string text =
      "Cells: the applies_to ranges that have text; NS:range = NOT_SUPPORTED there;\n"
      "(no entries) = a block without entries; - = no block.\nProtocols: ";
  for (const AlternativeInfo& column : kAlternatives) {
    if (&column != kAlternatives.data()) text += ", ";
    if (codes) text.append(1, column.code).append(" ");
    text += column.label;
  }
  return text + "\n";
}

// A pipe inside a cell would end it; "||" joins range alternatives.
std::string markdown_cell(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '|' || c == '\\' || c == '*' || c == '_' || c == '<' || c == '>') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string matrix_text(const Matrix& matrix) {
  const Grid rows = grid(matrix, protocol_codes);
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] + 2 - row[i].size(), ' ');
    }
    out += line + "\n";
  }
  return out + "\n" + legend(true);
}

std::string matrix_markdown(const Matrix& matrix) {
  const Grid rows = grid(matrix, protocol_labels);
  std::string out;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    out += "|";
    for (const std::string& cell : rows[r]) out += " " + markdown_cell(cell) + " |";
    out += "\n";
    if (r == 0) {
      out += "|";
      for (std::size_t i = 0; i < rows[r].size(); ++i) out += " --- |";
      out += "\n";
    }
  }
  return out + "\n" + legend(false);
}

}  // namespace ov
