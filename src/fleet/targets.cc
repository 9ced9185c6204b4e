#include "fleet/targets.h"

#include <arpa/inet.h>

#include <array>
#include <charconv>
#include <cstdint>

#include "base/utf8.h"
#include "probe/socket_address.h"

namespace ov {
namespace {

constexpr int kShortestV4Prefix = 16;
constexpr int kShortestV6Prefix = 112;

std::optional<unsigned> number(std::string_view text, unsigned most) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > most) {
    return std::nullopt;
  }
  return value;
}

// The probe's own reading of an IPv4 literal, so a target expands to exactly
// the hosts the probe takes for addresses.
std::optional<std::uint32_t> ipv4(std::string_view text) {
  in_addr address{};
  if (!probe::is_ipv4_literal(text, &address)) return std::nullopt;
  return ntohl(address.s_addr);
}

std::string ipv4_text(std::uint32_t value) {
  return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xff) + "." +
         std::to_string((value >> 8) & 0xff) + "." + std::to_string(value & 0xff);
}

std::expected<void, std::string> expand_v4_network(std::uint32_t base, unsigned prefix,
                                                   std::vector<std::string>& hosts) {
  if (prefix < kShortestV4Prefix) {
    return std::unexpected("networks larger than /16 are refused");
  }
  const std::uint64_t size = std::uint64_t{1} << (32 - prefix);
  // Host bits are cleared, as scanners do: 192.0.2.7/24 is 192.0.2.0/24.
  const std::uint32_t first = base & ~static_cast<std::uint32_t>(size - 1);
  // As scanners do: a /31 or /32 has no network or broadcast address to skip.
  const std::uint64_t skip = size >= 4 ? 1 : 0;
  for (std::uint64_t i = skip; i < size - skip; ++i) {
    hosts.push_back(ipv4_text(first + static_cast<std::uint32_t>(i)));
  }
  return {};
}

std::expected<void, std::string> expand_v6_network(std::string_view text, unsigned prefix,
                                                   std::vector<std::string>& hosts) {
  in6_addr address{};
  if (inet_pton(AF_INET6, std::string(text).c_str(), &address) != 1) {
    return std::unexpected("not an IPv6 address before the prefix");
  }
  if (prefix < kShortestV6Prefix)
    return std::unexpected("IPv6 networks larger than /112 are refused");
  const unsigned size = 1u << (128 - prefix);
  const unsigned low = ((unsigned{address.s6_addr[14]} << 8) | address.s6_addr[15]) & ~(size - 1);
  for (unsigned i = 0; i < size; ++i) {
    address.s6_addr[14] = static_cast<std::uint8_t>((low + i) >> 8);
    address.s6_addr[15] = static_cast<std::uint8_t>(low + i);
    std::array<char, INET6_ADDRSTRLEN> out{};
    inet_ntop(AF_INET6, &address, out.data(), out.size());
    hosts.emplace_back(out.data());
  }
  return {};
}

std::expected<void, std::string> expand_network(std::string_view target,
                                                std::vector<std::string>& hosts) {
  const std::size_t slash = target.find('/');
  const std::string_view address = target.substr(0, slash);
  const bool v6 = address.find(':') != std::string_view::npos;
  const auto prefix = number(target.substr(slash + 1), v6 ? 128 : 32);
  if (!prefix)
    return std::unexpected(v6 ? "the prefix is not 0 to 128" : "the prefix is not 0 to 32");
  if (v6) return expand_v6_network(address, *prefix, hosts);
  const auto base = ipv4(address);
  if (!base) return std::unexpected("not an IPv4 address before the prefix");
  return expand_v4_network(*base, *prefix, hosts);
}

// "192.0.2.10-20": the range when the part before the last "-" is an IPv4
// address; nullopt for a host name with a "-" in it.
std::optional<std::expected<void, std::string>> expand_range(std::string_view target,
                                                             std::vector<std::string>& hosts) {
  const std::size_t dash = target.rfind('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto first = ipv4(target.substr(0, dash));
  if (!first) return std::nullopt;
  const unsigned from = *first & 0xff;
  const auto to = number(target.substr(dash + 1), 255);
  if (!to || *to < from) {
    return std::unexpected("the range must end in a last octet from " + std::to_string(from) +
                           " to 255");
  }
  for (unsigned octet = from; octet <= *to; ++octet) {
    hosts.push_back(ipv4_text((*first & ~0xffu) | octet));
  }
  return std::expected<void, std::string>{};
}

}  // namespace

std::expected<void, std::string> expand_target(std::string_view target,
                                               std::vector<std::string>& hosts) {
  if (target.empty()) return std::unexpected("empty");
  if (target.find_first_of(" \t\r\n") != std::string_view::npos) {
    return std::unexpected("one target per line, without blanks");
  }
  if (target.find('/') != std::string_view::npos) return expand_network(target, hosts);
  if (auto range = expand_range(target, hosts)) return *range;
  hosts.emplace_back(target);  // a host as written, so reports name it so
  return {};
}

std::expected<void, std::string> TargetList::add(std::string_view target, std::string_view where) {
  expanded_.clear();
  if (auto done = expand_target(target, expanded_); !done) {
    const std::string place = where.empty() ? "" : std::string(where) + ": ";
    return std::unexpected(place + "target '" + std::string(target) + "': " + done.error());
  }
  for (std::string& host : expanded_) {
    if (seen_.insert(host).second) hosts_.push_back(std::move(host));
  }
  return {};
}

std::expected<void, std::string> TargetList::add_line(std::string_view line,
                                                      std::string_view where) {
  line = trim_white_space(line.substr(0, line.find('#')));
  if (line.empty()) return {};
  return add(line, where);
}

std::expected<void, std::string> TargetList::add_lines(std::string_view text,
                                                       std::string_view name) {
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    auto added = add_line(line, std::string(name) + ":" + std::to_string(number));
    if (!added) return added;
  }
  return {};
}

}  // namespace ov
