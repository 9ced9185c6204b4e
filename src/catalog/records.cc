#include "catalog/records.h"

namespace ov {

const CommandBlock* VendorFile::first_block(CommandType type) const {
  for (const auto& block : commands) {
    if (block.type == type) return &block;
  }
  return nullptr;
}

}  // namespace ov
