#include "probe/resolver.h"

#include <cerrno>
#include <string>

namespace ov::probe {
namespace {

class SystemLookup final : public AddressLookup {
 public:
  int lookup(const char* node, const addrinfo& hints, addrinfo** out) const override {
    return ::getaddrinfo(node, nullptr, &hints, out);
  }
  void release(addrinfo* chain) const override { ::freeaddrinfo(chain); }
};

// Frees the resolver's chain on every path.
class ChainOwner {
 public:
  ChainOwner(const AddressLookup& lookup, addrinfo* chain) : lookup_(lookup), chain_(chain) {}
  ChainOwner(const ChainOwner&) = delete;
  ChainOwner& operator=(const ChainOwner&) = delete;
  ~ChainOwner() {
    if (chain_ != nullptr) lookup_.release(chain_);
  }

 private:
  const AddressLookup& lookup_;
  addrinfo* chain_;
};

}  // namespace

const AddressLookup& system_lookup() {
  static const SystemLookup instance;
  return instance;
}

std::expected<std::vector<SocketAddress>, NetError> resolve(std::string_view host,
                                                            std::uint16_t port,
                                                            const AddressLookup& lookup) {
  if (auto literal = parse_address_literal(host, port)) return std::vector{*literal};
  if (host.find('\0') != std::string_view::npos) {
    return std::unexpected(NetError::dns(NetError::nul_in_host()));
  }

  const std::string node(host);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;  // family AF_UNSPEC, no flags, any protocol
  addrinfo* chain = nullptr;
  const int code = lookup.lookup(node.c_str(), hints, &chain);
  // Read at once: freeing the chain may change errno.
  const int error = errno;
  const ChainOwner owner(lookup, code == 0 ? chain : nullptr);
  if (code == EAI_SYSTEM) return std::unexpected(NetError::dns(NetError::system(error)));
  if (code != 0) return std::unexpected(NetError::dns(NetError::lookup_failed(code)));

  std::vector<SocketAddress> addresses;
  for (const addrinfo* entry = chain; entry != nullptr; entry = entry->ai_next) {
    if (auto address = SocketAddress::from_sockaddr(entry->ai_addr, entry->ai_addrlen, port)) {
      addresses.push_back(*address);
    }
  }
  if (addresses.empty()) return std::unexpected(NetError::no_addresses());
  return addresses;
}

}  // namespace ov::probe
