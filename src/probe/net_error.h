// The error value of the network operations. Its text is what users see in
// the probe's diagnostics lines, so every wording lives in net_error.cc.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace ov::probe {

class NetError {
 public:
  // A failed system call: the platform's description of `code` (an errno).
  static NetError system(int code);
  // A failed system call, from the current errno.
  static NetError last_system_error();

  // The fixed failures.
  static NetError timed_out();              // "connection timed out"
  static NetError no_error_after_hangup();  // "no error set after POLLHUP"
  static NetError zero_timeout();           // "cannot set a 0 duration timeout"
  static NetError no_addresses();           // "no addresses resolved"
  static NetError nul_in_host();            // "file name contained an unexpected NUL byte"
  // The resolver refused the name with `gai_code` (not EAI_SYSTEM).
  static NetError lookup_failed(int gai_code);
  // A failure to resolve a name, as tcp_connect reports it: "DNS: " + text.
  static NetError dns(const NetError& cause);

  // The errno of a system error; nothing for a message error.
  std::optional<int> code() const { return code_; }
  // "Connection refused (os error 111)" for a system error, else the message.
  std::string text() const;

  friend bool operator==(const NetError&, const NetError&) = default;

 private:
  NetError(std::optional<int> code, std::string message)
      : code_(code), message_(std::move(message)) {}
  static NetError message(std::string text) { return NetError(std::nullopt, std::move(text)); }

  std::optional<int> code_;
  std::string message_;
};

}  // namespace ov::probe
