#include "catalog/catalog_error.h"

#include <gtest/gtest.h>

#include <string>

namespace ov {
namespace {

using namespace catalog_error;

TEST(CatalogError, Messages) {
  struct Row {
    CatalogError error;
    std::string expected;
  };
  const Row rows[] = {
      {{Parse{"lab.yaml",
              YamlError::rule("missing field `cli`", "commands[3].versions[0]", Mark{120, 14, 6})}},
       "catalog parse error in lab.yaml: commands[3].versions[0]: missing field `cli` at line 15 "
       "column 7"},
      {{Parse{"empty.yaml", YamlError::rule("missing field `vendor`", ".", Mark{})}},
       "catalog parse error in empty.yaml: missing field `vendor`"},
      {{Io{IoError::from_errno(2)}}, "catalog I/O error: No such file or directory (os error 2)"},
      {{NoEntry{"cisco_nxos", "5.2(1)", CommandType::ArpTable}},
       "no entry for cisco_nxos Some(\"5.2(1)\") ArpTable"},
      {{NoEntry{"v", std::nullopt, CommandType::PortPolicyPush}},
       "no entry for v None PortPolicyPush"},
      {{NotSupported{CommandType::CivicLocation, "arista_eos", ""}},
       "CivicLocation is not supported on arista_eos: "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(row.error.message(), row.expected);
  }
}

TEST(CatalogError, ParserErrorComposition) {
  struct Row {
    YamlError error;
    std::string expected;
  };
  const Row rows[] = {
      {YamlError::parser("mapping values are not allowed in this context", Mark{30, 2, 9},
                         "while parsing a block mapping", Mark{0, 0, 0}),
       "mapping values are not allowed in this context at line 3 column 10, while parsing a "
       "block mapping"},
      {YamlError::parser("did not find expected key", Mark{50, 4, 2},
                         "while parsing a block mapping", Mark{20, 1, 2}),
       "did not find expected key at line 5 column 3, while parsing a block mapping at line 2 "
       "column 3"},
      {YamlError::parser("found unexpected end of stream", Mark{7, 0, 0}, "while scanning",
                         Mark{7, 0, 0}),
       "found unexpected end of stream at position 7, while scanning"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(row.error.render(), row.expected);
  }
}

TEST(CatalogError, DebugQuotedEscapes) {
  struct Row {
    std::string text;
    std::string expected;
  };
  const Row rows[] = {
      {"4.19", "\"4.19\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::string("\0\t\r\n", 4), "\"\\0\\t\\r\\n\""},
      {"\xC2\x85", "\"\\u{85}\""},  // NEL is a control
      {"caf\xC3\xA9 \xE2\x80\xA8", "\"caf\xC3\xA9 \\u{2028}\""},
      // Spaces other than the plain one would be invisible in a message.
      {"4.19\xC2\xA0", "\"4.19\\u{a0}\""},
      {"\xE3\x80\x80\xE2\x81\xA6", "\"\\u{3000}\\u{2066}\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(debug_quoted(row.text), row.expected);
  }
}

}  // namespace
}  // namespace ov
