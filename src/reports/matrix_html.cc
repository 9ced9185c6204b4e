// The matrix as one HTML page that needs nothing else: its style is inline,
// there are no scripts, fonts or images, so it can be mailed or printed.
#include <string>
#include <string_view>

#include "reports/matrix.h"

namespace ov {
namespace {

std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '\n':
        out += "&#10;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

constexpr std::string_view kStyle = R"(
:root { --text: #cdebd3; --partial: #fbe7a8; --not_supported: #f4c7c3; --no_entry: #e3e6ea;
        --no_block: repeating-linear-gradient(135deg, #f3f4f6 0 6px, #e2e5e9 6px 8px);
        --line: #b9c0c8; }
* { box-sizing: border-box; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { font: 13px/1.35 system-ui, -apple-system, "Segoe UI", Roboto, sans-serif; color: #1d232a;
       margin: 16px; }
h1 { font-size: 20px; margin: 0 0 4px; }
p.lead { margin: 0 0 12px; color: #4a535c; }
table.matrix { border-collapse: collapse; width: 100%; table-layout: fixed; }
table.matrix th, table.matrix td { border: 1px solid var(--line); padding: 4px 5px;
       vertical-align: top; overflow-wrap: anywhere; }
table.matrix thead th { background: #2f3b47; color: #fff; text-align: left; font-weight: 600;
       position: sticky; top: 0; }
table.matrix thead th:first-child { width: 13em; }
table.matrix th .id { display: block; font-weight: 400; font-size: 11px; opacity: .8; }
table.matrix tbody th { text-align: left; overflow-wrap: normal; font: 600 12px ui-monospace, Menlo, Consolas, monospace;
       background: #fafbfc; }
td.text { background: var(--text); }
td.partial { background: var(--partial); }
td.not_supported { background: var(--not_supported); }
td.no_entry { background: var(--no_entry); }
td.no_block { background: var(--no_block); color: #8a939c; }
td[title] { cursor: help; }
.ranges { font: 12px ui-monospace, Menlo, Consolas, monospace; }
.ns { color: #8f1d14; }
.protocols { margin-top: 3px; }
.protocols abbr { display: inline-block; text-decoration: none; font-size: 10px; font-weight: 600;
       border: 1px solid #5d6873; border-radius: 3px; padding: 0 3px; margin: 1px 2px 0 0;
       background: #fff; }
.legend { margin-top: 14px; display: flex; flex-wrap: wrap; gap: 6px 22px; }
.legend h2 { font-size: 14px; margin: 0; width: 100%; }
.legend ul { list-style: none; margin: 0; padding: 0; }
.legend li { margin: 2px 0; }
.reasons { margin-top: 14px; }
.reasons h2 { font-size: 14px; margin: 0 0 4px; }
.reasons dt { font-weight: 600; margin-top: 6px; }
.reasons dd { margin: 0 0 0 18px; max-width: 70em; }
.swatch { display: inline-block; width: 14px; height: 14px; border: 1px solid var(--line);
       vertical-align: -2px; margin-right: 6px; }
@media print {
  @page { size: A4 landscape; margin: 10mm; }
  body { margin: 0; font-size: 9px; }
  .ranges, table.matrix tbody th { font-size: 9px; }
  .protocols abbr { font-size: 8px; }
  table.matrix thead th { position: static; }
  tr { break-inside: avoid; }
}
)";

// A command type name that may wrap after its underscores, never inside a word.
std::string breakable(std::string_view name) {
  std::string out;
  for (const char c : name) {
    out += c;
    if (c == '_') out += "<wbr>";
  }
  return out;
}

// What hovering a cell shows: the description, then each entry's range and
// text, a NOT_SUPPORTED one with its reason.
std::string cell_title(const MatrixCell& cell) {
  if (cell.block == nullptr) return "";
  std::string title;
  if (cell.block->description) title += *cell.block->description + "\n";
  for (const CommandEntry& entry : cell.block->versions) {
    if (!title.empty() && title.back() != '\n') title += '\n';
    title += entry.applies_to + ": " + entry.cli;
    if (is_not_supported(entry) && entry.notes) title += "\n" + *entry.notes;
  }
  while (!title.empty() && title.back() == '\n') title.pop_back();
  return title;
}

std::string cell_html(const MatrixCell& cell) {
  std::string out = "<td class=\"" + std::string(info(cell.state).name) + "\"";
  const std::string title = cell_title(cell);
  if (!title.empty()) out += " title=\"" + escaped(title) + "\"";
  out += "><div class=\"ranges\">";
  if (cell.block == nullptr || cell.block->versions.empty()) {
    out += escaped(cell_ranges(cell));
  } else {
    for (const CommandEntry& entry : cell.block->versions) {
      out += is_not_supported(entry) ? "<div class=\"ns\">NS " : "<div>";
      // "*" alone is easy to miss in a grid of ranges.
      out += entry.applies_to == "*" ? "all firmware" : escaped(entry.applies_to);
      out += "</div>";
    }
  }
  out += "</div>";
  if (!cell.protocols.empty()) {
    out += "<div class=\"protocols\">";
    for (const AlternativeInfo* column : cell.protocols) {
      out += "<abbr title=\"" + std::string(column->label) + "\">" + std::string(column->label) +
             "</abbr>";
    }
    out += "</div>";
  }
  return out + "</td>";
}

std::string legend_html() {
  std::string out = "<section class=\"legend\"><h2>Legend</h2><ul>";
  for (const CellStateInfo& state : kCellStates) {
    out += "<li><span class=\"swatch\" style=\"background: var(--" + std::string(state.name) +
           ")\"></span>" + escaped(state.meaning) + "</li>";
  }
  out +=
      "</ul><ul><li>Ranges are the entries' applies_to; <span class=\"ns\">NS</span> marks a "
      "NOT_SUPPORTED range.</li><li>Badges name the protocol alternatives of the block: ";
  for (const AlternativeInfo& column : kAlternatives) {
    if (&column != kAlternatives.data()) out += ", ";
    out += column.label;
  }
  return out +
         ".</li><li>Hover a cell for its command texts; \"all firmware\" is the range "
         "*.</li></ul></section>";
}

// Every NOT_SUPPORTED entry with its reason, for readers of a printed page.
std::string reasons_html(const Matrix& matrix) {
  std::string out;
  for (const CommandTypeName& name : kCommandTypes) {
    const auto& row = matrix.rows[static_cast<std::size_t>(name.type)];
    for (std::size_t v = 0; v < row.size(); ++v) {
      if (row[v].block == nullptr) continue;
      for (const CommandEntry& entry : row[v].block->versions) {
        if (!is_not_supported(entry)) continue;
        out += "<dt>" + std::string(name.yaml) + " on " + escaped(matrix.vendors[v]->display_name) +
               " (" + escaped(entry.applies_to) + ")</dt><dd>" +
               escaped(entry.notes.value_or("no reason given")) + "</dd>";
      }
    }
  }
  if (out.empty()) return out;
  return "<section class=\"reasons\"><h2>Not supported, and why</h2><dl>" + out +
         "</dl></section>\n";
}

}  // namespace

std::string matrix_html(const Matrix& matrix) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Support matrix</title>\n<style>" +
      std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>Support matrix</h1>\n";
  out += "<p class=\"lead\">" + std::to_string(matrix.vendors.size()) + " vendors, " +
         std::to_string(kCommandTypes.size()) +
         " command types: which has text from which firmware, and by which protocols.</p>\n";
  out += "<table class=\"matrix\">\n<thead><tr><th scope=\"col\">Command type</th>";
  for (const VendorFile* file : matrix.vendors) {
    out += "<th scope=\"col\">" + escaped(file->display_name) + "<span class=\"id\">" +
           escaped(file->vendor) + "</span></th>";
  }
  out += "</tr></thead>\n<tbody>\n";
  for (const CommandTypeName& name : kCommandTypes) {
    out += "<tr><th scope=\"row\">" + breakable(name.yaml) + "</th>";
    for (const MatrixCell& cell : matrix.rows[static_cast<std::size_t>(name.type)]) {
      out += cell_html(cell);
    }
    out += "</tr>\n";
  }
  out +=
      "</tbody>\n</table>\n" + legend_html() + "\n" + reasons_html(matrix) + "</body>\n</html>\n";
  return out;
}

}  // namespace ov
