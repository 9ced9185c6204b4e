// The writer gives the bytes of Json::dump(-1, ' ', false, replace), which
// the tool printed before it wrote documents as they are made.
#include "reading/json_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace ov::reading {
namespace {

std::string written(const Json& value) {
  std::string text;
  JsonWriter out([&](std::string_view piece) { text += piece; });
  out.value(value);
  out.flush();
  return text;
}

TEST(JsonWriter, WritesWhatDumpWrites) {
  std::string controls;
  for (char c = 0; c < 0x20; ++c) controls += c;
  const std::vector<Json> rows{
      nullptr,
      true,
      false,
      0,
      -1,
      std::numeric_limits<long long>::min(),
      std::numeric_limits<long long>::max(),
      std::numeric_limits<unsigned long long>::max(),
      1.5,
      "",
      "plain text",
      controls,
      "quote \" backslash \\ slash / delete \x7f",
      "\xc3\xa9t\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80",
      "bad \xff byte, cut \xe2\x80, overlong \xc0\xaf, surrogate \xed\xa0\x80 end",
      "\xe2\x82",
      Json::array(),
      Json::object(),
      Json::array({1, "a", nullptr, Json::array({Json::object()}), Json::array()}),
      Json{{"b", 1}, {"a", Json{{"x\ny", Json::array({true})}}}, {"", Json::object()}},
  };
  for (const Json& row : rows) {
    const std::string expected = row.dump(-1, ' ', false, Json::error_handler_t::replace);
    SCOPED_TRACE(expected);
    EXPECT_EQ(written(row), expected);
  }
}

TEST(JsonWriter, BuildsDocumentsPieceByPiece) {
  std::string text;
  std::size_t pieces = 0;
  JsonWriter out([&](std::string_view piece) {
    text += piece;
    ++pieces;
  });
  Json expected = Json::array();
  out.begin_array();
  for (int i = 0; i < 20000; ++i) {
    out.begin_object();
    out.key("n");
    out.integer(i);
    out.key("s");
    out.string("x\t" + std::to_string(i));
    out.key("z");
    out.null();
    out.end_object();
    expected.push_back({{"n", i}, {"s", "x\t" + std::to_string(i)}, {"z", nullptr}});
  }
  out.end_array();
  out.flush();
  EXPECT_EQ(text, expected.dump());
  EXPECT_GT(pieces, 1u);
}

}  // namespace
}  // namespace ov::reading
