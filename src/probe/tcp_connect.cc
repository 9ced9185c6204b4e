#include "probe/tcp_connect.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <optional>

namespace ov::probe {
namespace {

std::unexpected<NetError> system_failure() {
  return std::unexpected(NetError::last_system_error());
}

bool set_non_blocking(const Socket& socket, bool on) {
  int value = on ? 1 : 0;
  return ::ioctl(socket.get(), FIONBIO, &value) == 0;
}

// Close-on-exec from creation, so a fork and exec on another thread can never
// inherit the descriptor. Linux has no SO_NOSIGPIPE; it would only matter for
// sending, and nothing is sent.
std::expected<Socket, NetError> open_stream_socket(int family) {
  Socket socket(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.valid()) return system_failure();
  return socket;
}

// Starts a connect without blocking. Returns the errno of connect (0 when it
// completed at once), or the failure of switching the blocking mode.
std::expected<int, NetError> start_connect(const Socket& socket, const SocketAddress& address) {
  if (!set_non_blocking(socket, true)) return system_failure();
  const int result = ::connect(socket.get(), address.get(), address.size());
  const int connect_error = result == 0 ? 0 : errno;
  if (!set_non_blocking(socket, false)) return system_failure();
  return connect_error;
}

// The pending error of a connect that poll reported as hung up or failed.
NetError hangup_error(const Socket& socket) {
  int pending = 0;
  socklen_t length = sizeof pending;
  if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &pending, &length) != 0) {
    return NetError::last_system_error();
  }
  return pending != 0 ? NetError::system(pending) : NetError::no_error_after_hangup();
}

}  // namespace

ConnectAttempt::ConnectAttempt(std::vector<SocketAddress> addresses, Duration limit)
    : addresses_(std::move(addresses)), limit_(limit) {}

std::optional<Readiness> ConnectAttempt::next(Clock::time_point now) {
  while (!outcome_) {
    if (!pending_.valid()) {
      if (!begin_next()) {
        outcome_ = std::unexpected(last_failure_.value_or(NetError::no_addresses()));
      }
      continue;
    }
    const auto wait_ms = poll_wait_ms(limit_, now - started_);
    if (!wait_ms) {
      address_failed(NetError::timed_out());
      continue;
    }
    return Readiness{pending_.get(), POLLOUT, *wait_ms};
  }
  return std::nullopt;
}

void ConnectAttempt::on_ready(short revents, Clock::time_point) {
  if ((revents & (POLLHUP | POLLERR)) != 0) {
    address_failed(hangup_error(pending_));
  } else {
    outcome_ = std::move(pending_);
  }
}

void ConnectAttempt::on_poll_failure(const NetError& error) { address_failed(error); }

std::expected<Stream, NetError> ConnectAttempt::take() {
  return outcome_ ? std::move(*outcome_) : std::unexpected(NetError::no_addresses());
}

bool ConnectAttempt::begin_next() {
  if (tried_ == addresses_.size()) return false;
  const SocketAddress& address = addresses_[tried_++];
  auto socket = open_stream_socket(address.family());
  if (!socket) {
    address_failed(socket.error());
    return true;
  }
  const auto connect_error = start_connect(*socket, address);
  if (!connect_error) {
    address_failed(connect_error.error());
  } else if (*connect_error == 0) {
    outcome_ = std::move(*socket);
  } else if (*connect_error != EINPROGRESS) {
    address_failed(NetError::system(*connect_error));
  } else if (limit_.is_zero()) {
    address_failed(NetError::zero_timeout());
  } else {
    pending_ = std::move(*socket);
    // Read afresh: beside other tasks, the caller's `now` may be a little old.
    started_ = Clock::now();
  }
  return true;
}

void ConnectAttempt::address_failed(NetError error) {
  pending_ = Socket();
  last_failure_ = std::move(error);
}

std::optional<NetError> set_io_timeouts(const Socket& socket, Duration timeout) {
  if (timeout.is_zero()) return NetError::zero_timeout();
  const timeval value = to_timeval(timeout);
  for (int option : {SO_RCVTIMEO, SO_SNDTIMEO}) {
    if (::setsockopt(socket.get(), SOL_SOCKET, option, &value, sizeof value) != 0) {
      return NetError::last_system_error();
    }
  }
  return std::nullopt;
}

std::expected<Stream, NetError> tcp_connect(std::string_view host, std::uint16_t port,
                                            Duration timeout, const AddressLookup& lookup) {
  auto addresses = resolve(host, port, lookup);
  if (!addresses) return std::unexpected(addresses.error());
  ConnectAttempt attempt(std::move(*addresses), timeout);
  drive(attempt);
  auto stream = attempt.take();
  if (!stream) return stream;
  if (auto failure = set_io_timeouts(*stream, timeout)) return std::unexpected(*failure);
  return stream;
}

}  // namespace ov::probe
