// Turning a host text into the ordered list of addresses to try.
#pragma once

#include <netdb.h>

#include <cstdint>
#include <expected>
#include <string_view>
#include <vector>

#include "probe/net_error.h"
#include "probe/socket_address.h"

namespace ov::probe {

// The platform resolver, behind a seam so tests can fake its answers.
// Same contracts as getaddrinfo (no service name) and freeaddrinfo.
class AddressLookup {
 public:
  virtual ~AddressLookup() = default;
  virtual int lookup(const char* node, const addrinfo& hints, addrinfo** out) const = 0;
  virtual void release(addrinfo* chain) const = 0;
};

// getaddrinfo and freeaddrinfo themselves.
const AddressLookup& system_lookup();

// The addresses to try for `host`, each with `port`, in the resolver's order.
// An IPv4 or IPv6 literal gives itself without asking `lookup`; any other
// text is asked for as written (never trimmed), stream sockets of any family.
// Errors: "DNS: " + the resolver's failure, or "no addresses resolved" when
// it answered without an IPv4 or IPv6 entry.
std::expected<std::vector<SocketAddress>, NetError> resolve(
    std::string_view host, std::uint16_t port, const AddressLookup& lookup = system_lookup());

}  // namespace ov::probe
