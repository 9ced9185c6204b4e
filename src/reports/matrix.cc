#include "reports/matrix.h"

#include <algorithm>

#include "catalog/lookup.h"

namespace ov {
namespace {

CellState state_of(const CommandBlock& block) {
  if (block.versions.empty()) return CellState::NoEntry;
  const auto refused = std::ranges::count_if(block.versions, is_not_supported);
  if (refused == 0) return CellState::Text;
  if (static_cast<std::size_t>(refused) == block.versions.size()) return CellState::NotSupported;
  return CellState::Partial;
}

MatrixCell cell_of(const VendorFile& file, CommandType type) {
  MatrixCell cell;
  const CommandBlock* block = file.first_block(type);
  if (block == nullptr) return cell;
  cell.block = block;
  cell.state = state_of(*block);
  for (const AlternativeInfo& column : kAlternatives) {
    if (column.present(block->protocol_alternatives)) cell.protocols.push_back(&column);
  }
  return cell;
}

Json cell_json(const VendorFile& file, const MatrixCell& cell) {
  Json entries = Json::array();
  Json alternatives = Json::array();
  if (cell.block != nullptr) {
    for (const CommandEntry& entry : cell.block->versions) {
      entries.push_back({{"applies_to", entry.applies_to},
                         {"supported", !is_not_supported(entry)},
                         {"cli", entry.cli},
                         {"notes", optional_json(entry.notes)}});
    }
    for (const AlternativeInfo* column : cell.protocols) alternatives.push_back(column->key);
  }
  return {{"vendor", file.vendor},
          {"status", info(cell.state).name},
          {"description", cell.block ? optional_json(cell.block->description) : nullptr},
          {"entries", std::move(entries)},
          {"alternatives", std::move(alternatives)}};
}

}  // namespace

const CellStateInfo& info(CellState state) { return kCellStates[static_cast<std::size_t>(state)]; }

bool not_supported(const CommandEntry& entry) { return entry.cli == kNotSupported; }

std::string cell_ranges(const MatrixCell& cell) {
  if (cell.state == CellState::NoBlock) return "-";
  if (cell.state == CellState::NoEntry) return "(no entries)";
  std::string out;
  for (const CommandEntry& entry : cell.block->versions) {
    if (!out.empty()) out += "; ";
    if (is_not_supported(entry)) out += "NS:";
    out += entry.applies_to;
  }
  return out;
}

Matrix build_matrix(const Catalog& catalog) {
  Matrix matrix;
  for (const VendorFile& file : catalog.files()) matrix.vendors.push_back(&file);
  for (const CommandTypeName& name : kCommandTypes) {
    auto& row = matrix.rows[static_cast<std::size_t>(name.type)];
    for (const VendorFile* file : matrix.vendors) row.push_back(cell_of(*file, name.type));
  }
  return matrix;
}

Json matrix_json(const Matrix& matrix) {
  Json vendors = Json::array();
  for (const VendorFile* file : matrix.vendors) {
    vendors.push_back({{"vendor", file->vendor}, {"display_name", file->display_name}});
  }
  Json protocols = Json::array();
  for (const AlternativeInfo& column : kAlternatives) {
    protocols.push_back({{"key", column.key}, {"name", column.label}});
  }
  Json states = Json::array();
  for (const CellStateInfo& state : kCellStates) {
    states.push_back({{"status", state.name}, {"meaning", state.meaning}});
  }
  Json rows = Json::array();
  for (const CommandTypeName& name : kCommandTypes) {
    Json cells = Json::array();
    const auto& row = matrix.rows[static_cast<std::size_t>(name.type)];
    for (std::size_t v = 0; v < row.size(); ++v)
      cells.push_back(cell_json(*matrix.vendors[v], row[v]));
    rows.push_back({{"type", name.yaml}, {"cells", std::move(cells)}});
  }
  return {{"vendors", std::move(vendors)},
          {"protocols", std::move(protocols)},
          {"states", std::move(states)},
          {"rows", std::move(rows)}};
}

}  // namespace ov
