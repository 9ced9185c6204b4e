#include "lookup/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ov {
namespace {

using Records = std::vector<std::pair<std::size_t, std::vector<std::string>>>;

struct Row {
  std::string text;
  Records records;        // when read
  std::size_t line = 0;   // else where it breaks,
  std::string problem{};  // and how
};

TEST(Csv, RecordsWithTheLineEachStartsOn) {
  const Row rows[] = {
      {"", {}},
      {"a,b\n1,2\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
      {"a,b\r\n1,2", {{1, {"a", "b"}}, {2, {"1", "2"}}}},
      {"\xEF\xBB\xBFhost\n", {{1, {"host"}}}},
      // Blank lines are skipped but counted; blanks around cells are dropped.
      {"a\n\n \t\n\t b , c \n", {{1, {"a"}}, {4, {"b", "c"}}}},
      {",,\n", {{1, {"", "", ""}}}},
      {"\"\"\n", {{1, {""}}}},
      // Quoted: commas, doubled quotes and line breaks are text, blanks inside kept.
      {"\"x, \"\"y\"\"\",\"l1\nl2\"\nz\n", {{1, {"x, \"y\"", "l1\nl2"}}, {3, {"z"}}}},
      {"  \" a \"  ,b", {{1, {" a ", "b"}}}},
      {"\"a\r\nb\"\r\nc", {{1, {"a\r\nb"}}, {3, {"c"}}}},
      // In a bare cell a quote and a lone CR are text.
      {"a\"b,c\rd\n", {{1, {"a\"b", "c\rd"}}}},
      {"a\n\"open,\nb\n", {}, 2, "unterminated quote"},
      {"a\n\"x\"y,z\n", {}, 2, "text after a closing quote"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const auto read = read_csv(row.text);
    if (!row.problem.empty()) {
      ASSERT_FALSE(read);
      EXPECT_EQ(std::pair(read.error().line, read.error().problem),
                std::pair(row.line, row.problem));
      continue;
    }
    ASSERT_TRUE(read) << read.error().problem;
    Records records;
    for (const CsvRecord& record : *read) records.emplace_back(record.line, record.cells);
    EXPECT_EQ(records, row.records);
  }
}

}  // namespace
}  // namespace ov
