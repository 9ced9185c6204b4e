// Where a node of a vendor file stands, found by its path. The catalog keeps
// no positions in its records; the checks that judge a file that read well
// use this to point its author at the line.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

#include "catalog/catalog_error.h"
#include "catalog/node_tree.h"

namespace ov::check {

// A mapping key or a sequence index.
using PathStep = std::variant<std::string_view, std::size_t>;

class NodeLocator {
 public:
  // Reads the first document of `text`, which must outlive the locator.
  explicit NodeLocator(std::string_view text);

  // The zero-based start of the node at `path` (from the root, aliases
  // followed as the reader follows them), or nullopt when there is none.
  std::optional<Mark> find(std::span<const PathStep> path) const;

 private:
  std::optional<std::uint32_t> child(std::uint32_t at, const PathStep& step) const;
  std::uint32_t resolve(std::uint32_t at) const;

  NodeTree tree_;
};

}  // namespace ov::check
