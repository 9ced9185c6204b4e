// Reads a collected YAML document as a vendor file by the reading rules:
// a Walker goes over the NodeTree against the vendor-file model, one reader
// per kind of field, each applying its rule. The first violation is kept and
// every reader then returns false.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/catalog_error.h"
#include "catalog/command_type.h"
#include "catalog/node_tree.h"
#include "catalog/records.h"
#include "catalog/yaml_value.h"

namespace ov {

// Specialised for each record with its name and field table (record_model.h).
template <class R>
struct RecordModel;

template <class R>
concept Record = requires {
  RecordModel<R>::kFields;
};

class Walker {
 public:
  // Containers deeper than this are refused.
  static constexpr int kMaxDepth = 128;

  explicit Walker(const NodeTree& tree);

  // Each reads the node at `at` (an alias reads its anchored node) into `out`.
  bool read(std::uint32_t at, std::string& out);
  bool read(std::uint32_t at, bool& out);
  bool read(std::uint32_t at, CommandType& out);
  template <class T>
  bool read(std::uint32_t at, std::vector<T>& out);
  template <class T>
  bool read(std::uint32_t at, std::optional<T>& out);
  template <Record R>
  bool read(std::uint32_t at, R& out);

  // Any node as a generic value; a repeated key names `holder`, the record
  // that keeps the value in its `extra`.
  bool read_value(std::uint32_t at, YamlValue& out, const Node& holder);

  // Where each key of one `extra` map sits; used only when `enabled`. The
  // keys view node texts, which outlive the walk.
  struct ExtraIndex {
    bool enabled = false;
    std::unordered_map<std::string_view, std::size_t> positions;
  };

  // Stores `value` under `key` in `extra`; a repeated key keeps its place.
  void put_extra(ExtraMap& extra, std::string_view key, YamlValue value, ExtraIndex& index);

  // The violation after a reader returned false.
  YamlError take_error() { return std::move(*error_); }

 private:
  // Appends one step to the path for the lifetime of the scope.
  class PathScope {
   public:
    PathScope(std::string& path, std::string_view key);
    PathScope(std::string& path, std::size_t index);
    ~PathScope() { path_.resize(size_); }

   private:
    std::string& path_;
    std::size_t size_;
  };

  const Node& node(std::uint32_t at) const { return tree_.nodes[at]; }
  std::uint32_t index_of(const Node& n) const {
    return static_cast<std::uint32_t>(&n - tree_.nodes.data());
  }
  // The node read at `at`: itself, or the anchored node of an alias.
  const Node* resolve(std::uint32_t at);
  // Depth bookkeeping around each container that is read.
  bool enter(const Node& container);
  void leave() { --depth_; }
  bool read_mapping_value(const Node& mapping, YamlValue& out, const Node& holder);
  template <Record R>
  bool read_fields(const Node& mapping, R& out, std::uint32_t& seen);

  // A violation at `where`, named by the current path.
  bool fail(const Node& where, std::string message);
  bool fail(YamlError error);
  // Reading needed a node past the part the parser delivered.
  bool fail_truncated();

  const NodeTree& tree_;
  std::string path_;  // empty at the root
  int depth_ = 0;
  std::uint64_t expanded_ = 0;
  std::uint64_t expansion_limit_;
  std::optional<YamlError> error_;
};

// Reads the root node of `tree` as a VendorFile. Returns the first rule
// violation met, or the tree's stop error when reading needs a node that the
// parser never delivered. Does not look at `tree.stop` otherwise.
std::expected<VendorFile, YamlError> read_vendor_file(const NodeTree& tree);

}  // namespace ov
