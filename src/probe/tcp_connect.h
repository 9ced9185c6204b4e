// Timed TCP connects. Nothing is ever sent on the connections made here.
#pragma once

#include <cstdint>
#include <expected>
#include <string_view>

#include "probe/duration.h"
#include "probe/net_error.h"
#include "probe/resolver.h"
#include "probe/socket.h"
#include "probe/socket_address.h"

namespace ov::probe {

// Connects to one address, waiting at most `limit` on the monotonic clock
// (interrupted waits resume with the time that is left). The socket is
// close-on-exec and blocking again on return. Errors: the failing call's
// system error, "connection timed out", "no error set after POLLHUP", or
// "cannot set a 0 duration timeout" for a zero `limit` whose connect did not
// complete at once.
std::expected<Stream, NetError> connect_address(const SocketAddress& address, Duration limit);

// Resolves `host` afresh (see resolve) and tries its addresses in order, each
// with the whole `timeout`, until one connects; that stream gets `timeout` as
// its receive and send timeouts. When every address fails, the last failure
// is returned.
std::expected<Stream, NetError> tcp_connect(std::string_view host, std::uint16_t port,
                                            Duration timeout,
                                            const AddressLookup& lookup = system_lookup());

}  // namespace ov::probe
