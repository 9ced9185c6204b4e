// The loaded catalog: vendor files keyed by their `vendor` value, in the order
// in which each key was first inserted.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/records.h"

namespace ov {

class Catalog {
 public:
  // Appends `file` under its vendor, or replaces the file already held under
  // that vendor in place (nothing merged, position kept).
  void insert(VendorFile file);

  // Returns the file of `vendor` (exact bytes), or nullptr.
  const VendorFile* find(std::string_view vendor) const;

  // Files in insertion order.
  const std::vector<VendorFile>& files() const { return files_; }
  std::size_t size() const { return files_.size(); }
  bool empty() const { return files_.empty(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  std::vector<VendorFile> files_;
  std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> index_;
};

}  // namespace ov
