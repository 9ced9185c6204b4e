// The vendor files compiled into the module image, in their fixed order.
#pragma once

#include <span>
#include <string_view>

namespace ov {

struct BundledFile {
  std::string_view name;  // names the file in parse errors
  std::string_view text;  // UTF-8 YAML
};

std::span<const BundledFile> bundled_files();

}  // namespace ov
