#include "catalog/catalog.h"

#include <utility>

namespace ov {

void Catalog::insert(VendorFile file) {
  if (auto it = index_.find(std::string_view(file.vendor)); it != index_.end()) {
    files_[it->second] = std::move(file);
    return;
  }
  index_.emplace(file.vendor, files_.size());
  files_.push_back(std::move(file));
}

const VendorFile* Catalog::find(std::string_view vendor) const {
  auto it = index_.find(vendor);
  return it == index_.end() ? nullptr : &files_[it->second];
}

}  // namespace ov
