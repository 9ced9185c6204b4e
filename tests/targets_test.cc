#include "fleet/targets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

using Hosts = std::vector<std::string>;

TEST(Targets, EachFormExpandsInOrder) {
  struct Row {
    std::string target;
    std::size_t count;
    std::string first, last;
  };
  const Row rows[] = {
      {"192.0.2.9/32", 1, "192.0.2.9", "192.0.2.9"},
      {"192.0.2.8/31", 2, "192.0.2.8", "192.0.2.9"},
      {"192.0.2.7/30", 2, "192.0.2.5", "192.0.2.6"},  // host bits cleared, ends left out
      {"10.1.0.0/16", 65534, "10.1.0.1", "10.1.255.254"},
      {"2001:db8::7/126", 4, "2001:db8::4", "2001:db8::7"},
      {"::1/128", 1, "::1", "::1"},
      {"2001:db8::/112", 65536, "2001:db8::", "2001:db8::ffff"},
      {"192.0.2.250-255", 6, "192.0.2.250", "192.0.2.255"},
      {"192.0.2.7-7", 1, "192.0.2.7", "192.0.2.7"},
      {"sw-core-1", 1, "sw-core-1", "sw-core-1"},  // a name is passed on as written
  };
  for (const Row& row : rows) {
    Hosts hosts;
    ASSERT_TRUE(expand_target(row.target, hosts)) << row.target;
    ASSERT_EQ(hosts.size(), row.count) << row.target;
    EXPECT_EQ(hosts.front() + " " + hosts.back(), row.first + " " + row.last) << row.target;
  }
}

TEST(Targets, MalformedOrTooLargeAreRefused) {
  for (const char* target :
       {"10.0.0.0/15", "2001:db8::/111", "1.2.3.4/33", "1.2.3.4/", "x/24", "1.2.3/24",
        "192.0.2.10-9", "192.0.2.10-256", "10.0.0.1-x", "a b", ""}) {
    Hosts hosts;
    EXPECT_FALSE(expand_target(target, hosts)) << target;
  }
}

TEST(Targets, FilesSkipCommentsKeepFirstOccurrencesAndNameTheLine) {
  TargetList list;
  ASSERT_TRUE(list.add("127.0.0.2", ""));
  ASSERT_TRUE(list.add_lines("# lab\n\n 127.0.0.1-3  # rack 1\r\nh\n127.0.0.2\n", "t.txt"));
  EXPECT_EQ(std::move(list).release(), (Hosts{"127.0.0.2", "127.0.0.1", "127.0.0.3", "h"}));
  TargetList bad;
  EXPECT_EQ(bad.add_lines("h\n\n# x\n10.0.0.0/8\n", "t.txt").error(),
            "t.txt:4: target '10.0.0.0/8': networks larger than /16 are refused");
}

}  // namespace
}  // namespace ov
