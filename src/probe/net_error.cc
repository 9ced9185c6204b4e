#include "probe/net_error.h"

#include <netdb.h>

#include <cerrno>

#include "base/errno_text.h"

namespace ov::probe {

NetError NetError::system(int code) { return NetError(code, {}); }

NetError NetError::last_system_error() { return system(errno); }

NetError NetError::timed_out() { return message("connection timed out"); }

NetError NetError::no_error_after_hangup() { return message("no error set after POLLHUP"); }

NetError NetError::zero_timeout() { return message("cannot set a 0 duration timeout"); }

NetError NetError::no_addresses() { return message("no addresses resolved"); }

NetError NetError::nul_in_host() { return message("file name contained an unexpected NUL byte"); }

NetError NetError::lookup_failed(int gai_code) {
  return message(std::string("failed to lookup address information: ") + ::gai_strerror(gai_code));
}

NetError NetError::dns(const NetError& cause) { return message("DNS: " + cause.text()); }

std::string NetError::text() const {
  if (!code_) return message_;
  return errno_text(*code_);
}

}  // namespace ov::probe
