#include "catalog/catalog_error.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace ov {
namespace {

using namespace catalog_error;

TEST(CatalogError, MessagesAndPositions) {
  const std::pair<CatalogError, std::string> messages[] = {
      {{Parse{"lab.yaml",
              YamlError::rule("missing field `cli`", "commands[3].versions[0]", Mark{120, 14, 6})}},
       "catalog parse error in lab.yaml: commands[3].versions[0]: missing field `cli` at line 15 "
       "column 7"},
      {{Parse{"empty.yaml", YamlError::rule("missing field `vendor`", ".", Mark{})}},
       "catalog parse error in empty.yaml: missing field `vendor`"},
      {{NoEntry{"v", std::nullopt, CommandType::PortPolicyPush}},
       "no entry for v None PortPolicyPush"},
  };
  for (const auto& [error, expected] : messages) EXPECT_EQ(error.message(), expected);
  const std::pair<YamlError, std::string> parser_errors[] = {
      {YamlError::parser("mapping values are not allowed", Mark{30, 2, 9}, "while parsing",
                         Mark{0, 0, 0}),
       "mapping values are not allowed at line 3 column 10, while parsing"},
      {YamlError::parser("did not find expected key", Mark{50, 4, 2}, "while parsing",
                         Mark{20, 1, 2}),
       "did not find expected key at line 5 column 3, while parsing at line 2 column 3"},
      {YamlError::parser("found unexpected end of stream", Mark{7, 0, 0}, "while scanning",
                         Mark{7, 0, 0}),
       "found unexpected end of stream at position 7, while scanning"},
  };
  for (const auto& [error, expected] : parser_errors) EXPECT_EQ(error.render(), expected);
}

TEST(CatalogError, DebugQuotedEscapes) {
  const std::pair<std::string, std::string> rows[] = {
      {"4.19", R"("4.19")"},
      {R"(a"b\c)", R"("a\"b\\c")"},
      {std::string("\0\t\r\n", 4), R"("\0\t\r\n")"},
      {"\xC2\x85", R"("\u{85}")"},  // NEL is a control
      {"caf\xC3\xA9 \xE2\x80\xA8", "\"caf\xC3\xA9 \\u{2028}\""},
      // Spaces other than the plain one would be invisible in a message.
      {"4.19\xC2\xA0\xE3\x80\x80\xE2\x81\xA6", R"("4.19\u{a0}\u{3000}\u{2066}")"},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(debug_quoted(text), expected);
}

}  // namespace
}  // namespace ov
