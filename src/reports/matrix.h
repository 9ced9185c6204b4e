// The support matrix: for each command type (rows) and vendor (columns) of a
// loaded catalog, whether there is text and from which firmware, and which
// protocol alternatives exist. Built from the catalog, so it shows the data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/enum_table.h"
#include "base/json.h"
#include "catalog/alternatives.h"
#include "catalog/catalog.h"
#include "catalog/command_type.h"
#include "catalog/lookup.h"
#include "catalog/records.h"

namespace ov {

enum class CellState : std::uint8_t {
  Text,          // every entry has text
  Partial,       // text for some ranges, NOT_SUPPORTED for others
  NotSupported,  // every entry is NOT_SUPPORTED
  NoEntry,       // the block has no entries
  NoBlock,       // the vendor's file has no block of the type
};

struct CellStateInfo {
  CellState state;
  std::string_view name;     // in the JSON document and as the HTML class
  std::string_view meaning;  // in legends
};

inline constexpr std::array<CellStateInfo, 5> kCellStates{{
    {CellState::Text, "text", "text for every firmware range listed"},
    {CellState::Partial, "partial", "text for some ranges, NOT_SUPPORTED for others"},
    {CellState::NotSupported, "not_supported", "NOT_SUPPORTED: the platform cannot do it"},
    {CellState::NoEntry, "no_entry", "a block without entries"},
    {CellState::NoBlock, "no_block", "nothing in the catalog"},
}};

static_assert(indexed_by_enum(kCellStates, &CellStateInfo::state));

const CellStateInfo& info(CellState state);

struct MatrixCell {
  CellState state = CellState::NoBlock;
  const CommandBlock* block = nullptr;           // the block a lookup reads: the first of the type
  std::vector<const AlternativeInfo*> protocols;  // the alternatives the block has
};

struct Matrix {
  std::vector<const VendorFile*> vendors;
  // rows[type ordinal][vendor index]
  std::array<std::vector<MatrixCell>, kCommandTypes.size()> rows;
};

Matrix build_matrix(const Catalog& catalog);

// What a cell says in a few words, without its protocols: the ranges of its
// entries joined by "; ", a NOT_SUPPORTED range as "NS:" + range;
// "(no entries)" or "-" without them.
std::string cell_ranges(const MatrixCell& cell);

// The matrix as one document: vendors, protocols, states and rows of cells,
// each cell with its status, entries (applies_to, cli, notes) and
// alternatives.
Json matrix_json(const Matrix& matrix);

// A fixed-width table with a legend after it.
std::string matrix_text(const Matrix& matrix);
// A Markdown pipe table with a legend after it.
std::string matrix_markdown(const Matrix& matrix);
// One self-contained HTML page: a colour-coded grid and a legend.
std::string matrix_html(const Matrix& matrix);

}  // namespace ov
