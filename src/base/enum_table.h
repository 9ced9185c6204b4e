// Tables with one row per enumerator, indexed by the enumerator's value.
#pragma once

#include <cstddef>
#include <functional>

namespace ov {

// True iff row i of `table` is for the enumerator of value i, as `key` reads
// it from the row: only then may the table be indexed by the enumerator.
template <class Table, class Key>
constexpr bool indexed_by_enum(const Table& table, Key key) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (static_cast<std::size_t>(std::invoke(key, table[i])) != i) return false;
  }
  return true;
}

}  // namespace ov
