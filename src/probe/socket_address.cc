#include "probe/socket_address.h"

#include <arpa/inet.h>

#include <cstring>

namespace ov::probe {
namespace {

const sockaddr_in& as_v4(const sockaddr_storage& storage) {
  return reinterpret_cast<const sockaddr_in&>(storage);
}
const sockaddr_in6& as_v6(const sockaddr_storage& storage) {
  return reinterpret_cast<const sockaddr_in6&>(storage);
}

}  // namespace

SocketAddress SocketAddress::v4(const in_addr& address, std::uint16_t port) {
  SocketAddress out;
  auto& v4 = reinterpret_cast<sockaddr_in&>(out.storage_);
  v4.sin_family = AF_INET;
  v4.sin_port = htons(port);
  v4.sin_addr = address;
  out.size_ = sizeof(sockaddr_in);
  return out;
}

SocketAddress SocketAddress::v6(const in6_addr& address, std::uint16_t port,
                                std::uint32_t flow_info, std::uint32_t scope_id) {
  SocketAddress out;
  auto& v6 = reinterpret_cast<sockaddr_in6&>(out.storage_);
  v6.sin6_family = AF_INET6;
  v6.sin6_port = htons(port);
  v6.sin6_flowinfo = flow_info;
  v6.sin6_addr = address;
  v6.sin6_scope_id = scope_id;
  out.size_ = sizeof(sockaddr_in6);
  return out;
}

std::optional<SocketAddress> SocketAddress::from_sockaddr(const sockaddr* address, socklen_t length,
                                                          std::uint16_t port) {
  if (address == nullptr) return std::nullopt;
  // Copied out, not cast in place: the resolver's buffers promise no alignment.
  if (address->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
    sockaddr_in v4{};
    std::memcpy(&v4, address, sizeof v4);
    return SocketAddress::v4(v4.sin_addr, port);
  }
  if (address->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, address, sizeof v6);
    return SocketAddress::v6(v6.sin6_addr, port, v6.sin6_flowinfo, v6.sin6_scope_id);
  }
  return std::nullopt;
}

std::uint16_t SocketAddress::port() const {
  return ntohs(family() == AF_INET ? as_v4(storage_).sin_port : as_v6(storage_).sin6_port);
}

std::uint32_t SocketAddress::flow_info() const {
  return family() == AF_INET6 ? as_v6(storage_).sin6_flowinfo : 0;
}

std::uint32_t SocketAddress::scope_id() const {
  return family() == AF_INET6 ? as_v6(storage_).sin6_scope_id : 0;
}

std::string SocketAddress::host_text() const {
  char text[INET6_ADDRSTRLEN] = {};
  const void* address = family() == AF_INET ? static_cast<const void*>(&as_v4(storage_).sin_addr)
                                            : static_cast<const void*>(&as_v6(storage_).sin6_addr);
  ::inet_ntop(family(), address, text, sizeof text);
  return text;
}

bool is_ipv4_literal(std::string_view text, in_addr* out) {
  std::uint32_t value = 0;
  std::size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.') return false;
      ++pos;
    }
    const std::size_t start = pos;
    unsigned number = 0;
    while (pos < text.size() && pos - start < 3 && text[pos] >= '0' && text[pos] <= '9') {
      number = number * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
    }
    const std::size_t digits = pos - start;
    if (digits == 0 || number > 255 || (digits > 1 && text[start] == '0')) return false;
    value = (value << 8) | number;
  }
  if (pos != text.size()) return false;
  if (out != nullptr) out->s_addr = htonl(value);
  return true;
}

std::optional<SocketAddress> parse_address_literal(std::string_view host, std::uint16_t port) {
  in_addr v4{};
  if (is_ipv4_literal(host, &v4)) return SocketAddress::v4(v4, port);
  // inet_pton wants a C string; a text holding a NUL is never a literal.
  if (host.size() >= INET6_ADDRSTRLEN || host.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string text(host);
  in6_addr v6{};
  if (::inet_pton(AF_INET6, text.c_str(), &v6) == 1) return SocketAddress::v6(v6, port, 0, 0);
  return std::nullopt;
}

}  // namespace ov::probe
