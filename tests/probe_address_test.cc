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

std::string lookup_failure(int code) {
  return std::string("DNS: failed to lookup address information: ") + ::gai_strerror(code);
}

TEST(AddressLiteral, ExactFormsAreAddressesAndNearMissesAreNot) {
  struct Row {
    std::string_view host;
    int family;  // 0: not a literal
    std::string_view address;
  };
  const Row rows[] = {
      {"127.0.0.1", AF_INET, "127.0.0.1"},
      {"255.255.255.255", AF_INET, "255.255.255.255"},
      {"::1", AF_INET6, "::1"},
      {"::ffff:192.0.2.1", AF_INET6, "::ffff:192.0.2.1"},
      {"2001:DB8:0:0:0:0:0:1", AF_INET6, "2001:db8::1"},
      {"127.0.0.01", 0, {}},  // leading zero
      {"256.0.0.1", 0, {}},
      {"1.2.3", 0, {}},
      {"1.2.3.4.5", 0, {}},
      {"1..2.3", 0, {}},
      {" 127.0.0.1", 0, {}},
      {"[::1]", 0, {}},
      {"::1%lo", 0, {}},
      {"::1\0"sv, 0, {}},
      {"1::2::3", 0, {}},
      {"", 0, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.host));
    const auto address = parse_address_literal(row.host, 830);
    if (row.family == 0) {
      EXPECT_FALSE(address.has_value());
      continue;
    }
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->family(), row.family);
    EXPECT_EQ(address->host_text(), row.address);
    EXPECT_EQ(address->port(), 830);
    EXPECT_EQ(address->flow_info(), 0u);
    EXPECT_EQ(address->scope_id(), 0u);
  }
}

TEST(Resolve, LiteralsNeverAskTheResolverAndEverythingElseGoesAsWritten) {
  for (std::string_view host : {"192.0.2.7"sv, "::1"sv}) {
    SCOPED_TRACE(std::string(host));
    const FakeLookup lookup = FakeLookup::refusing(EAI_NONAME);
    const auto addresses = resolve(host, 22, lookup);
    ASSERT_TRUE(addresses.has_value());
    ASSERT_EQ(addresses->size(), 1u);
    EXPECT_TRUE(lookup.asked.empty());
  }
  for (std::string_view host : {"[::1]"sv, "127.0.0.01"sv, " 127.0.0.1 "sv, "router.lab"sv, ""sv}) {
    SCOPED_TRACE(std::string(host));
    const FakeLookup lookup = FakeLookup::refusing(EAI_NONAME);
    EXPECT_FALSE(resolve(host, 22, lookup).has_value());
    ASSERT_EQ(lookup.asked.size(), 1u);
    EXPECT_EQ(lookup.asked[0], host);
    const addrinfo& hints = lookup.last_hints;
    EXPECT_EQ(std::tuple(hints.ai_family, hints.ai_socktype, hints.ai_protocol, hints.ai_flags),
              std::tuple(AF_UNSPEC, SOCK_STREAM, 0, 0));
  }
}

TEST(Resolve, ResolverFailuresBecomeTheirMessages) {
  struct Row {
    const char* name;
    FakeLookup lookup;
    std::string_view host;
    std::string error;
    std::size_t asked;
  };
  FakeLookup system_failure = FakeLookup::refusing(EAI_SYSTEM);
  system_failure.system_errno = EMFILE;
  const Row rows[] = {
      {"refused name", FakeLookup::refusing(EAI_NONAME), "nowhere.lab", lookup_failure(EAI_NONAME),
       1},
      {"system error", system_failure, "nowhere.lab", "DNS: " + NetError::system(EMFILE).text(), 1},
      {"NUL in the name", FakeLookup::answering({{AF_INET, "127.0.0.1"}}), "lab\0host"sv,
       "DNS: file name contained an unexpected NUL byte", 0},
      {"empty answer", FakeLookup::answering({}), "lab", "no addresses resolved", 1},
      {"no IP entry", FakeLookup::answering({{AF_UNIX, ""}, {AF_UNIX, ""}}), "lab",
       "no addresses resolved", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto addresses = resolve(row.host, 443, row.lookup);
    ASSERT_FALSE(addresses.has_value());
    EXPECT_EQ(addresses.error().text(), row.error);
    EXPECT_EQ(row.lookup.asked.size(), row.asked);
  }
}

TEST(Resolve, KeepsTheResolversOrderAndReplacesOnlyThePort) {
  const FakeLookup lookup = FakeLookup::answering({
      {AF_INET6, "2001:db8::5", 7, 0x12345, 3},
      {AF_UNIX, ""},
      {AF_INET, "192.0.2.5", 7},
      {AF_INET6, "2001:db8::5", 7, 0x12345, 3},  // duplicates stay
      {AF_INET, "192.0.2.6", 0},
  });
  const auto addresses = resolve("dual.lab", 9339, lookup);
  ASSERT_TRUE(addresses.has_value());
  ASSERT_EQ(addresses->size(), 4u);
  const char* expected[] = {"2001:db8::5", "192.0.2.5", "2001:db8::5", "192.0.2.6"};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ((*addresses)[i].host_text(), expected[i]);
    EXPECT_EQ((*addresses)[i].port(), 9339);
  }
  EXPECT_EQ((*addresses)[0].flow_info(), 0x12345u);
  EXPECT_EQ((*addresses)[0].scope_id(), 3u);
  EXPECT_EQ(lookup.released, 1);
}

}  // namespace
}  // namespace ov::probe
