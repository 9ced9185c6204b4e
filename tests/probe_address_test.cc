#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <tuple>

#include "probe/resolver.h"
#include "probe/socket_address.h"
#include "probe_fake_lookup.h"

namespace ov::probe {
namespace {

using fixtures::FakeLookup;
using namespace std::string_view_literals;

TEST(AddressLiteral, ExactFormsAreAddressesAndNearMissesAreNot) {
  struct Row {
    std::string_view host;
    std::string_view address;  // empty: not a literal
  };
  // clang-format off
  const Row rows[] = {
      {"127.0.0.1", "127.0.0.1"},    {"255.255.255.255", "255.255.255.255"},
      {"::1", "::1"},                {"::ffff:192.0.2.1", "::ffff:192.0.2.1"},
      {"2001:DB8:0:0:0:0:0:1", "2001:db8::1"},
      {"127.0.0.01", ""},  // a leading zero reads as octal elsewhere
      {"256.0.0.1", ""},   {"1.2.3", ""},     {"1.2.3.4.5", ""}, {"1..2.3", ""},
      {" 127.0.0.1", ""},  {"[::1]", ""},     {"::1%lo", ""},    {"::1\0"sv, ""},
      {"1::2::3", ""},     {"", ""},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.host));
    const auto address = parse_address_literal(row.host, 830);
    ASSERT_EQ(address.has_value(), !row.address.empty());
    if (!address) continue;
    EXPECT_EQ(address->host_text(), row.address);
    EXPECT_EQ(address->family(),
              row.address.find(':') == std::string_view::npos ? AF_INET : AF_INET6);
    EXPECT_EQ(std::tuple(address->port(), address->flow_info(), address->scope_id()),
              std::tuple(830, 0u, 0u));
  }
}

TEST(Resolve, LiteralsNeverAskTheResolverAndEverythingElseGoesAsWritten) {
  for (std::string_view host :
       {"192.0.2.7"sv, "::1"sv, "[::1]"sv, " 127.0.0.1 "sv, "router.lab"sv}) {
    SCOPED_TRACE(std::string(host));
    const FakeLookup lookup = FakeLookup::refusing(EAI_NONAME);
    const auto addresses = resolve(host, 22, lookup);
    const bool literal = host == "192.0.2.7" || host == "::1";
    EXPECT_EQ(addresses.has_value(), literal);
    EXPECT_EQ(lookup.asked, literal ? std::vector<std::string>{} : std::vector{std::string(host)});
    const addrinfo& hints = lookup.last_hints;
    if (!literal) {
      EXPECT_EQ(std::tuple(hints.ai_family, hints.ai_socktype, hints.ai_protocol, hints.ai_flags),
                std::tuple(AF_UNSPEC, SOCK_STREAM, 0, 0));
    }
  }
}

TEST(Resolve, ResolverFailuresBecomeTheirMessages) {
  struct Row {
    FakeLookup lookup;
    std::string_view host;
    std::string error;
  };
  const Row rows[] = {
      {FakeLookup::refusing(EAI_NONAME), "nowhere.lab",
       std::string("DNS: failed to lookup address information: ") + ::gai_strerror(EAI_NONAME)},
      {FakeLookup::refusing(EAI_SYSTEM, EMFILE), "nowhere.lab",
       "DNS: " + NetError::system(EMFILE).text()},
      {FakeLookup::answering({{"127.0.0.1"}}), "lab\0host"sv,
       "DNS: file name contained an unexpected NUL byte"},
      {FakeLookup::answering({}), "lab", "no addresses resolved"},
      {FakeLookup::answering({{"unix"}, {"unix"}}), "lab", "no addresses resolved"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.error);
    const auto addresses = resolve(row.host, 443, row.lookup);
    ASSERT_FALSE(addresses.has_value());
    EXPECT_EQ(addresses.error().text(), row.error);
    EXPECT_EQ(row.lookup.asked.size(), row.host.find('\0') == std::string_view::npos ? 1u : 0u);
  }
}

TEST(Resolve, KeepsTheResolversOrderAndReplacesOnlyThePort) {
  const FakeLookup lookup = FakeLookup::answering({
      {"2001:db8::5", 7, 0x12345, 3},
      {"unix"},
      {"192.0.2.5", 7},
      {"2001:db8::5", 7, 0x12345, 3},  // duplicates stay
  });
  const auto addresses = resolve("dual.lab", 9339, lookup);
  ASSERT_TRUE(addresses.has_value());
  std::vector<std::tuple<std::string, std::uint16_t, std::uint32_t, std::uint32_t>> seen;
  for (const auto& a : *addresses)
    seen.emplace_back(a.host_text(), a.port(), a.flow_info(), a.scope_id());
  EXPECT_EQ(seen, (decltype(seen){{"2001:db8::5", 9339, 0x12345, 3},
                                  {"192.0.2.5", 9339, 0, 0},
                                  {"2001:db8::5", 9339, 0x12345, 3}}));
  EXPECT_EQ(lookup.released, 1);
}

}  // namespace
}  // namespace ov::probe
