#include "base/errno_text.h"

#include <cstring>

namespace ov {

std::string errno_text(int code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* description = ::strerror_r(code, buffer, sizeof buffer);
  return std::string(description) + " (os error " + std::to_string(code) + ")";
}

}  // namespace ov
