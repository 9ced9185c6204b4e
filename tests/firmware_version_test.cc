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
      {"16.11.1", std::nullopt, {16, 11, 1, 0}, std::nullopt},
      {"21.4R3", std::nullopt, {21, 4, 0, 0}, "R3"},
      {"10.17", std::nullopt, {10, 17, 0, 0}, std::nullopt},
      {" 4.22 ", std::nullopt, {4, 22, 0, 0}, std::nullopt},
      {"FL.10.13.1000", "FL", {10, 13, 1000, 0}, std::nullopt},
      {"FL.01.17", "FL", {1, 17, 0, 0}, std::nullopt},
      {"QL.1", "QL", {1, 0, 0, 0}, std::nullopt},
      {"FL.10", "FL", {10, 0, 0, 0}, std::nullopt},
      {"9.3(5)", std::nullopt, {9, 3, 5, 0}, std::nullopt},
      {"7.0(3)I7(9)", std::nullopt, {7, 0, 3, 0}, "I7.9"},
      {"15.2(7)E3", std::nullopt, {15, 2, 7, 0}, "E3"},
      {"12.2(55)SE12", std::nullopt, {12, 2, 55, 0}, "SE12"},
      {"16.12.04a", std::nullopt, {16, 12, 4, 0}, "a"},
      {"1.2.3.4.5", std::nullopt, {1, 2, 3, 4}, std::nullopt},
      {"1.2.3.4.99999999999", std::nullopt, {1, 2, 3, 4}, std::nullopt},
      {"1.2.3.4..", std::nullopt, {1, 2, 3, 4}, std::nullopt},
      {"4.F", std::nullopt, {4, 0, 0, 0}, "F"},
      {"4..F", std::nullopt, {4, 0, 0, 0}, "F"},
      {"4.294967295", std::nullopt, {4, 294967295, 0, 0}, std::nullopt},
      {"4294967295.0.0.4294967295", std::nullopt, {4294967295u, 0, 0, 4294967295u}, std::nullopt},
      {"0010.04", std::nullopt, {10, 4, 0, 0}, std::nullopt},
      {"4.20 F", std::nullopt, {4, 20, 0, 0}, " F"},
      {"4.2-rc1", std::nullopt, {4, 2, 0, 0}, "-rc1"},
      {"4.-2", std::nullopt, {4, 0, 0, 0}, "-2"},
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
  const std::string_view rows[] = {
      "WC.16.10.0021",
      "switch-15-21",
      "v4.20",
      "n/a",
      "*",
      "4.",
      "1..2",
      "",
      "   ",
      "4294967296",
      "99999999999",
      ".5",
      "fl.10.13",
      "FLX.10",
      "FL.",
      "FL..1",
      "FL.x",
      "Fl.10",
      "FL-10",
      "9.(3)",
      "+4",
      "-4",
      "\xd9\xa4.2",
      "FL.FL.1",
      "1.2..4",
      "1.2.3.",
      "1.2.3.4294967296",
  };
  for (const auto text : rows) {
    SCOPED_TRACE(text);
    const auto version = FirmwareVersion::parse(text);
    ASSERT_FALSE(version.has_value());
    EXPECT_EQ(version.error().message(), "invalid firmware version '" + std::string(text) + "'");
  }
}

TEST(FirmwareVersionTest, MessageCarriesTheTextUntrimmed) {
  const auto version = FirmwareVersion::parse(" x ");
  ASSERT_FALSE(version.has_value());
  ASSERT_TRUE(version.error().is<catalog_error::InvalidFirmware>());
  EXPECT_EQ(version.error().message(), "invalid firmware version ' x '");
}

TEST(FirmwareVersionTest, OrdersByNumbersOnly) {
  struct Row {
    std::string_view left;
    std::string_view right;
    std::strong_ordering order;
  };
  const Row rows[] = {
      {"4.20.1F", "4.20.1", std::strong_ordering::equal},
      {"21.4R3", "21.4", std::strong_ordering::equal},
      {"FL.10.13", "GL.10.13", std::strong_ordering::equal},
      {"4.20", "4.20.0.0", std::strong_ordering::equal},
      {"4.19", "4.20", std::strong_ordering::less},
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

// Any four components written as "a.b.c.d" read back as themselves.
TEST(FirmwareVersionTest, DottedComponentsRoundTrip) {
  const std::uint32_t values[] = {0, 1, 9, 10, 65535, 2147483648u, 4294967295u};
  for (const auto a : values) {
    for (const auto b : values) {
      const std::array<std::uint32_t, 4> numbers{a, b, b, a};
      const std::string text = std::to_string(a) + "." + std::to_string(b) + "." +
                               std::to_string(b) + "." + std::to_string(a);
      SCOPED_TRACE(text);
      const auto version = FirmwareVersion::parse(text);
      ASSERT_TRUE(version.has_value());
      EXPECT_EQ((std::array{version->major, version->minor, version->patch, version->build}),
                numbers);
      EXPECT_FALSE(version->suffix.has_value());
    }
  }
}

std::string utf8(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

TEST(TrimWhiteSpaceTest, RemovesEveryWhiteSpaceCodePoint) {
  const char32_t white_space[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,
                                  0x85,   0xA0,   0x1680, 0x2000, 0x2005, 0x200A,
                                  0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
  for (const char32_t cp : white_space) {
    SCOPED_TRACE(static_cast<unsigned>(cp));
    const std::string space = utf8(cp);
    EXPECT_EQ(trim_white_space(space + space + "4 22" + space), "4 22");
    EXPECT_EQ(trim_white_space(space), "");
  }
}

TEST(TrimWhiteSpaceTest, KeepsEverythingElse) {
  const char32_t other[] = {0x08,   0x0E,   0x1C,   0x1F,   0x84,   0x86,   0x9F,  0x180E,
                            0x200B, 0x2027, 0x202A, 0x2060, 0x2FFF, 0x3001, 0xFEFF};
  for (const char32_t cp : other) {
    SCOPED_TRACE(static_cast<unsigned>(cp));
    const std::string text = utf8(cp) + "4.22" + utf8(cp);
    EXPECT_EQ(trim_white_space(text), text);
  }
  // Bytes that are not a well-formed white space sequence stay.
  const std::string_view bytes[] = {"\xa0",     "\xc2",         "\xe3\x80",
                                    "\xc0\xa0", "\xe0\x82\x85", "\x80\xa0"};
  for (const auto stray : bytes) {
    const std::string text = std::string(stray) + "4.22" + std::string(stray);
    EXPECT_EQ(trim_white_space(text), text);
    EXPECT_EQ(trim_white_space(" " + text + utf8(0x3000)), text);
  }
}

TEST(FirmwareVersionTest, TrimsUnicodeWhiteSpaceBeforeReading) {
  const auto version = FirmwareVersion::parse(utf8(0x3000) + "FL.10.13" + utf8(0xA0));
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->platform_prefix, "FL");
  EXPECT_EQ(version->major, 10u);
  EXPECT_EQ(version->minor, 13u);
  EXPECT_FALSE(version->suffix.has_value());
}

}  // namespace
}  // namespace ov
