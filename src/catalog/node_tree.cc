#include "catalog/node_tree.h"

#include <algorithm>
#include <cstring>

namespace ov {

void TextStore::reserve(std::size_t size) {
  if (size <= left_) return;
  chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
  next_ = chunks_.back().get();
  left_ = size;
}

std::string_view TextStore::keep(std::string_view text) {
  if (text.empty()) return {};
  // A text longer than the reserve (escapes such as \L grow) opens a chunk.
  if (text.size() > left_) reserve(std::max<std::size_t>(text.size(), 4096));
  char* copy = next_;
  std::memcpy(copy, text.data(), text.size());
  next_ += text.size();
  left_ -= text.size();
  return {copy, text.size()};
}

}  // namespace ov
