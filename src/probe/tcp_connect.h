// Timed TCP connects. Nothing is ever sent on the connections made here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>
#include <vector>

#include "probe/duration.h"
#include "probe/net_error.h"
#include "probe/poll_task.h"
#include "probe/resolver.h"
#include "probe/socket.h"
#include "probe/socket_address.h"

namespace ov::probe {

// Connecting to the first of `addresses` that accepts, trying them in order,
// each with the whole `limit` on the monotonic clock. A poll-driven task
// (see poll_task.h): take() once next() has nothing more.
class ConnectAttempt {
 public:
  ConnectAttempt(std::vector<SocketAddress> addresses, Duration limit);

  std::optional<Readiness> next(Clock::time_point now);
  void on_ready(short revents, Clock::time_point now);
  void on_poll_failure(const NetError& error);

  // The connected stream, close-on-exec and blocking; or the last address's
  // failure ("no addresses resolved" when there was none).
  std::expected<Stream, NetError> take();

 private:
  // Starts a connect to the next address; false when none is left.
  bool begin_next();
  void address_failed(NetError error);

  std::vector<SocketAddress> addresses_;
  Duration limit_;
  std::size_t tried_ = 0;
  Socket pending_;  // the connect in progress, if any
  Clock::time_point started_{};
  std::optional<std::expected<Stream, NetError>> outcome_;
  std::optional<NetError> last_failure_;
};

// Gives a connected stream `timeout` as its receive and send timeouts; a
// stream whose timeouts cannot be set (a zero `timeout` among them) is not
// usable.
std::optional<NetError> set_io_timeouts(const Socket& socket, Duration timeout);

// Resolves `host` afresh (see resolve) and tries its addresses in order, each
// with the whole `timeout`, until one connects; that stream gets `timeout` as
// its receive and send timeouts. When every address fails, the last failure
// is returned.
std::expected<Stream, NetError> tcp_connect(std::string_view host, std::uint16_t port,
                                            Duration timeout,
                                            const AddressLookup& lookup = system_lookup());

}  // namespace ov::probe
