#include "catalog/firmware_version.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "base/utf8.h"

namespace ov {
namespace {

struct ReadsAs {
  std::string_view text;
  std::optional<std::string> prefix;
  std::array<std::uint32_t, 4> numbers;
  std::optional<std::string> suffix;
};

TEST(FirmwareVersionTest, ReadsVersionTexts) {
  const ReadsAs rows[] = {
      {"4.20.1F", std::nullopt, {4, 20, 1, 0}, "F"},
      {"21.4R3", std::nullopt, {21, 4, 0, 0}, "R3"},
      {" 4.22 ", std::nullopt, {4, 22, 0, 0}, std::nullopt},
      {"\u3000FL.10.13.1000\u00a0", "FL", {10, 13, 1000, 0}, std::nullopt},
      {"9.3(5)", std::nullopt, {9, 3, 5, 0}, std::nullopt},
      {"7.0(3)I7(9)", std::nullopt, {7, 0, 3, 0}, "I7.9"},
      {"12.2(55)SE12", std::nullopt, {12, 2, 55, 0}, "SE12"},
      {"1.2.3.4.99999999999", std::nullopt, {1, 2, 3, 4}, std::nullopt},
      {"4..F", std::nullopt, {4, 0, 0, 0}, "F"},
      {"4294967295.0.0.4294967295", std::nullopt, {4294967295u, 0, 0, 4294967295u}, std::nullopt},
      {"4.20 F", std::nullopt, {4, 20, 0, 0}, " F"},
      {")4", std::nullopt, {4, 0, 0, 0}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const auto version = FirmwareVersion::parse(row.text);
    ASSERT_TRUE(version.has_value()) << version.error().message();
    EXPECT_EQ(version->platform_prefix, row.prefix);
    EXPECT_EQ((std::array{version->major, version->minor, version->patch, version->build}),
              row.numbers);
    EXPECT_EQ(version->suffix, row.suffix);
  }
}

TEST(FirmwareVersionTest, RejectsTextsThatAreNotVersions) {
  // clang-format off
  const std::string_view rows[] = {
      "WC.16.10.0021", "switch-15-21", "v4.20", "*",     "4.",    "1..2",     "",
      " x ",           "4294967296",   ".5",    "fl.10.13", "FLX.10", "FL.", "FL..1",
      "Fl.10",         "9.(3)",        "+4",    "\xd9\xa4.2", "1.2..4", "1.2.3.4294967296",
  };
  // clang-format on
  for (const auto text : rows) {
    SCOPED_TRACE(text);
    const auto version = FirmwareVersion::parse(text);
    ASSERT_FALSE(version.has_value());
    EXPECT_EQ(version.error().message(), "invalid firmware version '" + std::string(text) + "'");
  }
}

TEST(FirmwareVersionTest, OrdersByNumbersOnly) {
  struct Row {
    std::string_view left;
    std::string_view right;
    std::strong_ordering order;
  };
  const Row rows[] = {
      {"4.20.1F", "4.20.1", std::strong_ordering::equal},
      {"FL.10.13", "GL.10.13", std::strong_ordering::equal},
      {"4.9", "4.10", std::strong_ordering::less},
      {"10.13", "1.17", std::strong_ordering::greater},
      {"1.0.0.1", "1", std::strong_ordering::greater},
      {"4294967295", "4294967294.9", std::strong_ordering::greater},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.left) + " vs " + std::string(row.right));
    const auto left = FirmwareVersion::parse(row.left);
    const auto right = FirmwareVersion::parse(row.right);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->compare(*right), row.order);
  }
}

TEST(Utf8Test, ValidityAndTrimming) {
  for (const std::string_view text :
       {"", "4.22", "caf\xc3\xa9", "\xed\x9f\xbf", "\xf4\x8f\xbf\xbf"}) {
    EXPECT_TRUE(is_valid_utf8(text)) << text;
  }
  for (const std::string_view text : {"\xff", "\xc0\xaf", "\xe0\x9f\xbf", "\xed\xa0\x80",
                                      "\xf4\x90\x80\x80", "\xe3\x80", "\x80"}) {
    EXPECT_FALSE(is_valid_utf8(text)) << text;
  }
  // Trimming removes Unicode white space only.
  for (const std::string_view space : {"\t", "\r", "\v", " ", "\u0085", "\u00a0", "\u1680",
                                       "\u200a", "\u2029", "\u202f", "\u205f", "\u3000"}) {
    SCOPED_TRACE(space);
    const std::string text = std::string(space) + std::string(space) + "4 22" + std::string(space);
    EXPECT_EQ(trim_white_space(text), "4 22");
  }
  // Neighbours of white space, and bytes that are no well-formed white space
  // sequence (a lone continuation, a truncated or overlong form), stay.
  for (const std::string_view other :
       {"\x08", "\x0e", "\u0084", "\u0086", "\u180e", "\u200b", "\u2027", "\u2060", "\u3001",
        "\ufeff", "\xa0", "\xc2", "\xe3\x80", "\xc0\xa0", "\xe0\x82\x85"}) {
    SCOPED_TRACE(other);
    const std::string text = std::string(other) + "4.22" + std::string(other);
    EXPECT_EQ(trim_white_space(" " + text + "\u3000"), text);
  }
}

}  // namespace
}  // namespace ov
