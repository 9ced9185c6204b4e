#include "catalog/version_range.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace ov {
namespace {

FirmwareVersion version(std::string_view text) {
  auto parsed = FirmwareVersion::parse(text);
  EXPECT_TRUE(parsed.has_value()) << text;
  return parsed.value_or(FirmwareVersion{});
}

// The range matches every firmware of `yes` and none of `no`.
void expect_matches(const VersionRange& range, std::initializer_list<std::string_view> yes,
                    std::initializer_list<std::string_view> no) {
  for (const auto text : yes) EXPECT_TRUE(range.matches(version(text))) << "firmware " << text;
  for (const auto text : no) EXPECT_FALSE(range.matches(version(text))) << "firmware " << text;
}

struct RangeRow {
  std::string_view raw;
  std::size_t specificity;
  std::initializer_list<std::string_view> yes;
  std::initializer_list<std::string_view> no;
};

TEST(VersionRangeTest, MatchesCountsAndGatesPlatformPrefixes) {
  const RangeRow rows[] = {
      {"*", 0, {"16.10.0021", "0", "FL.1", "4294967295.4294967295"}, {}},
      {">=4.20", 1, {"4.20.1F", "4.20", "4.20.0.0", "5", "FL.4.20"}, {"4.19", "4.19.99.99", "3"}},
      {">4.20", 1, {"4.20.0.1", "4.21"}, {"4.20", "4.20F", "4.19"}},
      {"=4.20", 1, {"4.20", "4.20.0.0", "4.20F"}, {"4.20.1", "4.2"}},
      {"4.20", 1, {"4.20", "4.20M"}, {"4.21", "4.19"}},
      {" >= 4.2 , < 5 ", 2, {"4.2", "4.9"}, {"5", "4.1"}},
      {">=12.0,<15.0", 2, {"12.2(55)SE12", "12.0", "14.99"}, {"15.2(7)E3", "15.0", "11.9"}},
      {">=4.20,<4.24||>=4.28", 3, {"4.22", "4.30", "4.20", "4.28"}, {"4.25", "4.24", "4.19"}},
      {"<1||=2||>3", 3, {"0", "2", "4"}, {"1", "3", "2.1"}},
      {">=1,<=1,=1", 3, {"1"}, {"1.0.0.1", "0.9"}},
      // A firmware prefix only meets a comparator prefix; either side without
      // one leaves the decision to the numbers.
      {">=10.04,<FL.01.17", 2, {}, {"10.13", "FL.10.13.1000", "1.17"}},
      {">=FL.01.17", 1, {"10.13", "FL.10.13.1000", "FL.01.17"}, {"GL.10.13", "FL.01.16", "1.16"}},
      {"<FL.01.17", 1, {"1.16", "FL.1.16"}, {"10.13", "GL.0", "GL.10.13"}},
      {">5,<3", 2, {}, {"4", "2", "6"}},
      // A single "|" is no separator: "|<5" is the suffix of 4.2.
      {">=4.2|<5", 1, {"4.2", "9"}, {"4.1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.raw);
    const auto range = VersionRange::parse(row.raw);
    ASSERT_TRUE(range.has_value()) << range.error().message();
    EXPECT_EQ(range->raw, row.raw);
    EXPECT_EQ(range->specificity(), row.specificity);
    EXPECT_EQ(range->is_any(), row.specificity == 0);
    expect_matches(*range, row.yes, row.no);
  }
}

TEST(VersionRangeTest, RejectsMalformedRanges) {
  EXPECT_EQ(VersionRange::parse(">=abc").error().message(),
            "invalid version range '>=abc': can't parse 'abc': invalid firmware version 'abc'");
  struct Row {
    std::string_view raw;
    std::string_view part;  // the text that fails to read as a firmware version
  };
  // clang-format off
  const Row rows[] = {
      {"", ""},           {"  ", ""},         {">=4.2,", ""},    {"||>=4.2", ""},
      {">=", ""},         {"==4.20", "=4.20"}, {"=>4.20", ">4.20"}, {"!=4.20", "!=4.20"},
      {">=4.20,*", "*"},  {"*||*", "*"},      {">=4.2|||<5", "|<5"}, {">=1,>=abc,>=xyz", "abc"},
      {">=\u3000 4.\u00a0", "4."},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.raw);
    const auto range = VersionRange::parse(row.raw);
    ASSERT_FALSE(range.has_value());
    ASSERT_TRUE(range.error().is<catalog_error::InvalidRange>());
    EXPECT_EQ(range.error().message(), "invalid version range '" + std::string(row.raw) +
                                           "': can't parse '" + std::string(row.part) +
                                           "': invalid firmware version '" + std::string(row.part) +
                                           "'");
  }
}

}  // namespace
}  // namespace ov
