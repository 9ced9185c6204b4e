// The platform's words for a system error number.
#pragma once

#include <string>

namespace ov {

// "Description (os error N)", as every I/O and network failure shows it.
std::string errno_text(int code);

}  // namespace ov
