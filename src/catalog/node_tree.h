// The nodes of one YAML document as a flat array in document order: each
// container is followed by its subtree, so a subtree is a range [i, end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "catalog/catalog_error.h"
#include "catalog/yaml_parser.h"

namespace ov {

enum class NodeKind : std::uint8_t { Scalar, Sequence, Mapping, Alias };
enum class ScalarStyle : std::uint8_t { Plain, SingleQuoted, DoubleQuoted, Literal, Folded };

struct Node {
  NodeKind kind = NodeKind::Scalar;
  ScalarStyle style = ScalarStyle::Plain;  // scalars only
  bool truncated = false;                  // a container whose end the parser never reached
  std::uint32_t end = 0;                   // one past the last node of this subtree
  // Sequence: number of elements. Mapping: number of keys plus values.
  // Alias: index of the anchored node.
  std::uint32_t link = 0;
  Mark mark;                      // where the node starts
  std::string_view text;          // scalar value after unquoting and folding
  std::string_view tag;           // resolved tag ("tag:yaml.org,2002:str", "!x"); empty when none
  std::uint64_t cost_before = 0;  // summed cost of every node before this one
};

// Append-only storage for the texts that nodes view. Chunks never move, so
// a view stays valid as long as the store, even when the store is moved.
class TextStore {
 public:
  // Reserves room for about `size` bytes in one chunk.
  void reserve(std::size_t size);
  // Copies `text` in and returns the view of the copy.
  std::string_view keep(std::string_view text);

 private:
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// The nodes with the texts they view; libyaml's events are gone by then.
struct NodeTree {
  std::vector<Node> nodes;
  TextStore texts;
  // Set when collection ended before the document's end: the parser's syntax
  // error or an alias to an unknown anchor. Containers still open are
  // closed at that point and marked truncated.
  std::optional<YamlError> stop;
  bool stream_ended = false;  // the text held no document, or the last one is read
  std::uint64_t total_cost = 0;

  // Cost of copying the subtree at `i`: its nodes plus its scalar bytes.
  std::uint64_t subtree_cost(std::uint32_t i) const {
    const std::uint32_t end = nodes[i].end;
    return (end < nodes.size() ? nodes[end].cost_before : total_cost) - nodes[i].cost_before;
  }
};

}  // namespace ov
