#include "cli/matrix.h"

#include <algorithm>

#include "catalog/lookup.h"

namespace ov::cli {
namespace {

template <auto Member>
bool has(const ProtocolAlternatives& alternatives) {
  return (alternatives.*Member).has_value();
}

CellState state_of(const CommandBlock& block) {
  if (block.versions.empty()) return CellState::NoEntry;
  const auto refused = std::ranges::count_if(block.versions, not_supported);
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
  for (const ProtocolColumn& column : kProtocolColumns) {
    if (column.present(block->protocol_alternatives)) cell.protocols.push_back(&column);
  }
  return cell;
}

nlohmann::ordered_json optional_json(const std::optional<std::string>& text) {
  return text ? nlohmann::ordered_json(*text) : nullptr;
}

nlohmann::ordered_json cell_json(const VendorFile& file, const MatrixCell& cell) {
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  nlohmann::ordered_json alternatives = nlohmann::ordered_json::array();
  if (cell.block != nullptr) {
    for (const CommandEntry& entry : cell.block->versions) {
      entries.push_back({{"applies_to", entry.applies_to},
                         {"supported", !not_supported(entry)},
                         {"cli", entry.cli},
                         {"notes", optional_json(entry.notes)}});
    }
    for (const ProtocolColumn* column : cell.protocols) alternatives.push_back(column->key);
  }
  return {{"vendor", file.vendor},
          {"status", info(cell.state).name},
          {"description", cell.block ? optional_json(cell.block->description) : nullptr},
          {"entries", std::move(entries)},
          {"alternatives", std::move(alternatives)}};
}

}  // namespace

const std::array<ProtocolColumn, 7> kProtocolColumns{{
    {"netconf", "NETCONF", 'N', has<&ProtocolAlternatives::netconf>},
    {"restconf", "RESTCONF", 'R', has<&ProtocolAlternatives::restconf>},
    {"gnmi", "gNMI", 'G', has<&ProtocolAlternatives::gnmi>},
    {"eapi", "eAPI", 'E', has<&ProtocolAlternatives::eapi>},
    {"rest_api", "REST API", 'A', has<&ProtocolAlternatives::rest_api>},
    {"snmp", "SNMP", 'S', has<&ProtocolAlternatives::snmp>},
    {"dashboard_api", "dashboard API", 'D', has<&ProtocolAlternatives::dashboard_api>},
}};

const CellStateInfo& info(CellState state) { return kCellStates[static_cast<std::size_t>(state)]; }

bool not_supported(const CommandEntry& entry) { return entry.cli == kNotSupported; }

std::string cell_ranges(const MatrixCell& cell) {
  if (cell.state == CellState::NoBlock) return "-";
  if (cell.state == CellState::NoEntry) return "(no entries)";
  std::string out;
  for (const CommandEntry& entry : cell.block->versions) {
    if (!out.empty()) out += "; ";
    if (not_supported(entry)) out += "NS:";
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

nlohmann::ordered_json matrix_json(const Matrix& matrix) {
  using Json = nlohmann::ordered_json;
  Json vendors = Json::array();
  for (const VendorFile* file : matrix.vendors) {
    vendors.push_back({{"vendor", file->vendor}, {"display_name", file->display_name}});
  }
  Json protocols = Json::array();
  for (const ProtocolColumn& column : kProtocolColumns) {
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

}  // namespace ov::cli
