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

// Waits until the connect in progress completes or `limit` has passed.
std::optional<NetError> await_connect(const Socket& socket, Duration limit) {
  const Clock::time_point start = Clock::now();
  for (;;) {
    const auto wait_ms = poll_wait_ms(limit, Clock::now() - start);
    if (!wait_ms) return NetError::timed_out();
    pollfd entry{socket.get(), POLLOUT, 0};
    const int ready = ::poll(&entry, 1, *wait_ms);
    if (ready < 0) {
      // A signal cut the wait short; the deadline stays where it was.
      if (errno == EINTR) continue;
      return NetError::last_system_error();
    }
    if (ready == 0) continue;
    if ((entry.revents & (POLLHUP | POLLERR)) != 0) return hangup_error(socket);
    return std::nullopt;
  }
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

}  // namespace

std::expected<Stream, NetError> connect_address(const SocketAddress& address, Duration limit) {
  auto socket = open_stream_socket(address.family());
  if (!socket) return std::unexpected(socket.error());
  const auto connect_error = start_connect(*socket, address);
  if (!connect_error) return std::unexpected(connect_error.error());
  if (*connect_error == 0) return std::move(*socket);
  if (*connect_error != EINPROGRESS) return std::unexpected(NetError::system(*connect_error));
  if (limit.is_zero()) return std::unexpected(NetError::zero_timeout());
  if (auto failure = await_connect(*socket, limit)) return std::unexpected(*failure);
  return std::move(*socket);
}

std::expected<Stream, NetError> tcp_connect(std::string_view host, std::uint16_t port,
                                            Duration timeout, const AddressLookup& lookup) {
  auto addresses = resolve(host, port, lookup);
  if (!addresses) return std::unexpected(addresses.error());
  std::optional<NetError> last_failure;
  for (const SocketAddress& address : *addresses) {
    auto stream = connect_address(address, timeout);
    if (!stream) {
      last_failure = stream.error();
      continue;
    }
    // A stream whose timeouts cannot be set is not usable: give up at once.
    if (auto failure = set_io_timeouts(*stream, timeout)) return std::unexpected(*failure);
    return stream;
  }
  return std::unexpected(last_failure.value_or(NetError::no_addresses()));
}

}  // namespace ov::probe
