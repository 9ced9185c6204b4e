// An IPv4 or IPv6 socket address, and the recognition of address literals
// that need no resolver.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov::probe {

class SocketAddress {
 public:
  static SocketAddress v4(const in_addr& address, std::uint16_t port);
  static SocketAddress v6(const in6_addr& address, std::uint16_t port, std::uint32_t flow_info,
                          std::uint32_t scope_id);
  // An AF_INET or AF_INET6 address with its port replaced by `port`
  // (everything else kept); nothing for any other family.
  static std::optional<SocketAddress> from_sockaddr(const sockaddr* address, socklen_t length,
                                                    std::uint16_t port);

  int family() const { return storage_.ss_family; }
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage_); }
  socklen_t size() const { return size_; }

  std::uint16_t port() const;
  std::uint32_t flow_info() const;  // 0 for IPv4
  std::uint32_t scope_id() const;   // 0 for IPv4
  // The address alone in its usual text form ("127.0.0.1", "::1").
  std::string host_text() const;

 private:
  SocketAddress() = default;
  sockaddr_storage storage_{};
  socklen_t size_ = 0;
};

// True iff `text` is four decimal numbers from 0 to 255 joined by dots, each
// of one to three digits without a leading zero (a lone "0" is fine).
bool is_ipv4_literal(std::string_view text, in_addr* out = nullptr);

// `host` as an address with `port` when the whole text is an IPv4 literal
// (above) or an IPv6 address in its textual form (no brackets, no zone);
// nothing otherwise, so that near misses go to the resolver as written.
std::optional<SocketAddress> parse_address_literal(std::string_view host, std::uint16_t port);

}  // namespace ov::probe
