// The release this build is, from the project's one version number.
#pragma once

namespace ov {

inline constexpr const char* kVersion = "0.2.0";

}  // namespace ov
