// A resolver that answers what a test tells it to and records what it was
// asked. Single-threaded.
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/un.h>

#include <cerrno>
#include <cstdint>
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
    int family;              // AF_INET, AF_INET6 or AF_UNIX
    std::string address;     // text for inet_pton; ignored for AF_UNIX
    std::uint16_t port = 0;  // the resolver's own port, which tcp_connect replaces
    std::uint32_t flow_info = 0;
    std::uint32_t scope_id = 0;
  };
  std::vector<Entry> entries;

  // What happened.
  mutable std::vector<std::string> asked;
  mutable addrinfo last_hints{};
  mutable int released = 0;

  static FakeLookup refusing(int code) {
    FakeLookup lookup;
    lookup.code = code;
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
    for (std::size_t i = 0; i < entries.size(); ++i) fill(entries[i], nodes_[i], addresses_[i]);
    for (std::size_t i = 0; i + 1 < nodes_.size(); ++i) nodes_[i].ai_next = &nodes_[i + 1];
    *out = nodes_.empty() ? nullptr : nodes_.data();
    return 0;
  }

  void release(addrinfo* chain) const override {
    if (chain == nodes_.data()) ++released;
  }

 private:
  static void fill(const Entry& entry, addrinfo& node, sockaddr_storage& storage) {
    node.ai_family = entry.family;
    node.ai_socktype = SOCK_STREAM;
    node.ai_addr = reinterpret_cast<sockaddr*>(&storage);
    if (entry.family == AF_INET) {
      auto& v4 = reinterpret_cast<sockaddr_in&>(storage);
      v4.sin_family = AF_INET;
      v4.sin_port = htons(entry.port);
      ::inet_pton(AF_INET, entry.address.c_str(), &v4.sin_addr);
      node.ai_addrlen = sizeof v4;
    } else if (entry.family == AF_INET6) {
      auto& v6 = reinterpret_cast<sockaddr_in6&>(storage);
      v6.sin6_family = AF_INET6;
      v6.sin6_port = htons(entry.port);
      v6.sin6_flowinfo = entry.flow_info;
      v6.sin6_scope_id = entry.scope_id;
      ::inet_pton(AF_INET6, entry.address.c_str(), &v6.sin6_addr);
      node.ai_addrlen = sizeof v6;
    } else {
      auto& local = reinterpret_cast<sockaddr_un&>(storage);
      local.sun_family = AF_UNIX;
      node.ai_addrlen = sizeof local;
    }
  }

  mutable std::vector<addrinfo> nodes_;
  mutable std::vector<sockaddr_storage> addresses_;
};

}  // namespace ov::probe::fixtures
