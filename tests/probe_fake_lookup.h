// A resolver that answers what a test tells it to and records what it was
// asked. Single-threaded.
#pragma once

#include <netdb.h>
#include <sys/un.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "probe/resolver.h"

namespace ov::probe::fixtures {

class FakeLookup final : public AddressLookup {
 public:
  // The answer: a getaddrinfo code (with the errno it leaves for EAI_SYSTEM)
  // or, for code 0, these entries in this order.
  int code = 0;
  int system_errno = 0;
  struct Entry {
    std::string address;     // an address literal, or "unix" for a non-IP entry
    std::uint16_t port = 0;  // the resolver's own port, which resolve replaces
    std::uint32_t flow_info = 0;
    std::uint32_t scope_id = 0;
  };
  std::vector<Entry> entries;

  // What happened.
  mutable std::vector<std::string> asked;
  mutable addrinfo last_hints{};
  mutable int released = 0;

  static FakeLookup refusing(int code, int system_errno = 0) {
    FakeLookup lookup;
    lookup.code = code;
    lookup.system_errno = system_errno;
    return lookup;
  }
  static FakeLookup answering(std::vector<Entry> entries) {
    FakeLookup lookup;
    lookup.entries = std::move(entries);
    return lookup;
  }

  int lookup(const char* node, const addrinfo& hints, addrinfo** out) const override {
    asked.emplace_back(node);
    last_hints = hints;
    if (code != 0) {
      errno = system_errno;
      return code;
    }
    nodes_.assign(entries.size(), addrinfo{});
    addresses_.assign(entries.size(), sockaddr_storage{});
    for (std::size_t i = 0; i < entries.size(); ++i) {
      addrinfo& node = nodes_[i];
      node.ai_addr = reinterpret_cast<sockaddr*>(&addresses_[i]);
      node.ai_next = i + 1 < entries.size() ? &nodes_[i + 1] : nullptr;
      node.ai_socktype = SOCK_STREAM;
      if (entries[i].address == "unix") {
        node.ai_family = addresses_[i].ss_family = AF_UNIX;
        node.ai_addrlen = sizeof(sockaddr_un);
        continue;
      }
      const auto address = parse_address_literal(entries[i].address, entries[i].port);
      std::memcpy(&addresses_[i], address->get(), address->size());
      node.ai_family = address->family();
      node.ai_addrlen = address->size();
      if (node.ai_family == AF_INET6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(addresses_[i]);
        v6.sin6_flowinfo = entries[i].flow_info;
        v6.sin6_scope_id = entries[i].scope_id;
      }
    }
    *out = nodes_.empty() ? nullptr : nodes_.data();
    return 0;
  }

  void release(addrinfo* chain) const override {
    if (chain == nodes_.data()) ++released;
  }

 private:
  mutable std::vector<addrinfo> nodes_;
  mutable std::vector<sockaddr_storage> addresses_;
};

}  // namespace ov::probe::fixtures
