// What the libFuzzer targets share: a property that must hold, and an input
// split in two at its first NUL byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

namespace ov::fuzz {

// A property that fails stops the run where libFuzzer sees it.
inline void require(bool condition) {
  if (!condition) std::abort();
}

// The bytes before the first NUL and those after it; nothing without a NUL.
inline std::optional<std::pair<std::string_view, std::string_view>> split_at_nul(
    const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\0');
  if (split == std::string_view::npos) return std::nullopt;
  return std::pair{bytes.substr(0, split), bytes.substr(split + 1)};
}

}  // namespace ov::fuzz
