// Records hold their rows across many blocks and keep the texts their fields
// view: rows read back whole after any number of additions, copies and moves,
// and a parse's records outlive its input.
#include "parse/records.h"

#include <gtest/gtest.h>

#include <string>

#include "parse/template.h"

namespace ov::parse {
namespace {

TEST(Records, RowsReadBackAcrossBlocksCopiesAndMoves) {
  for (const std::size_t width : {0U, 1U, 3U, 700U}) {
    SCOPED_TRACE(width);
    Records records(width);
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < 3000; ++row) texts.push_back(std::to_string(row));
    for (const std::string& text : texts) {
      const auto row = records.add();
      ASSERT_EQ(row.size(), width);
      const std::string_view kept = records.keep(text);
      for (Field& field : row) field = kept;
    }
    texts.clear();  // the records keep their own
    const Records copy = records;
    const Records moved = std::move(records);
    for (const Records* table : {&copy, &moved}) {
      ASSERT_EQ(table->size(), 3000U);
      for (std::size_t row = 0; row < table->size(); ++row) {
        for (const Field& field : (*table)[row]) ASSERT_EQ(std::get<std::string_view>(field), std::to_string(row));
      }
    }
  }
}

TEST(Records, AParseOutlivesItsInput) {
  const auto compiled = Template::compile("Value A (\\S+)\nValue List B (\\S+)\n\nStart\n  ^a ${A} ${B} -> Record\n");
  ASSERT_TRUE(compiled.has_value());
  auto input = std::make_unique<std::string>("a one two\na three four\n");
  const auto parsed = compiled->parse(*input);
  input.reset();
  ASSERT_TRUE(parsed.has_value());
  const std::vector<std::vector<Field>> expected{
      {"one", std::vector<std::string_view>{"two"}}, {"three", std::vector<std::string_view>{"four"}}};
  EXPECT_EQ(parsed->records.rows(), expected);
}

}  // namespace
}  // namespace ov::parse
