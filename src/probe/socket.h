// A move-only owner of a socket descriptor: whoever holds it closes it,
// exactly once, on every path.
#pragma once

#include <unistd.h>

#include <utility>

namespace ov::probe {

class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { close(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  void close() {
    // Never retried: after EINTR the descriptor is already released.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// A connected TCP socket handed to the caller of tcp_connect.
using Stream = Socket;

}  // namespace ov::probe
