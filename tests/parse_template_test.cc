// Template reading: every fault is found at compile time, with its line.
#include <gtest/gtest.h>

#include <string>

#include "parse/template.h"

namespace ov::parse {
namespace {

struct Fault {
  std::string text;
  std::string message;
};

TEST(ParseTemplate, FaultsNameTheirLine) {
  const Fault faults[] = {
      {"Value A (\\d+)\nStart\n  ^a\n",
       "template line 2: expected a Value line, or a blank line after the last one"},
      {"Start\n  ^a\n", "template line 1: expected a Value line, or a blank line before the states"},
      {"Value A\n\nStart\n", "template line 1: a Value line is: Value [Options] Name (regex)"},
      {"Value Filldown,Bogus A (x)\n\nStart\n",
       "template line 1: unknown option 'Bogus' (options are Filldown, Key, Required, List, "
       "Fillup, joined by commas without blanks)"},
      {"Value Key,Key A (x)\n\nStart\n", "template line 1: option 'Key' given twice"},
      {"Value " + std::string(49, 'N') + " (x)\n\nStart\n",
       "template line 1: value name '" + std::string(49, 'N') + "' is longer than 48 characters"},
      {"Value A (x)?\n\nStart\n",
       "template line 1: the regex of value 'A' must be enclosed in ( and ), with as many ( as ) "
       "inside: '(x)?'"},
      {"Value A ([(])\n\nStart\n",
       "template line 1: the regex of value 'A' must be enclosed in ( and ), with as many ( as ) "
       "inside: '([(])'"},
      {"Value A (a**)\n\nStart\n",
       "template line 1: invalid regex '(a**)' of value 'A': multiple repeat at position 3"},
      {"Value A (x)\n\nStart\n  ^a -> Next\n\nNext\n",
       "template line 6: an action's name cannot name a state: 'Next'"},
      {"Value A (x)\nValue A (y)\n\nStart\n",
       "template line 2: value 'A' is declared twice (first at line 1)"},
      {"Value A (x)\n\n", "template line 2: no Start state"},
      {"Value A (x)\n\nStart\n  ^a\n\nStart\n", "template line 6: state 'Start' is declared twice"},
      {"Value A (x)\n\nS-1\n", "template line 3: invalid state name 'S-1' (letters, digits and _, "
                               "at most 48 characters)"},
      {"Value A (x)\n\nStart\n  ^a\n\n  ^b\n",
       "template line 6: a rule outside any state (a blank line ends a state)"},
      {"Value A (x)\n\nStart\n   ^a\n",
       "template line 4: a rule starts with one or two spaces or a tab, then ^"},
      {"Value A (x)\n\nStart\n  ^a ->Record\n",
       "template line 4: badly formatted action 'Record' (expected [Next|Continue|Error]"
       "[.Record|.NoRecord|.Clear|.Clearall] [State], after a blank)"},
      {"Value A (x)\n\nStart\n  ^a -> Record.Next\n",
       "template line 4: badly formatted action 'Record.Next' (expected [Next|Continue|Error]"
       "[.Record|.NoRecord|.Clear|.Clearall] [State], after a blank)"},
      {"Value A (x)\n\nStart\n  ^a -> Continue Start\n",
       "template line 4: a Continue rule cannot change the state (to 'Start')"},
      {"Value A (x)\n\nStart\n  ^a -> Nowhere\n", "template line 4: state 'Nowhere' is not declared"},
      {"Value A (x)\n\nStart\n  ^a ${B}\n", "template line 4: no value named 'B' to substitute"},
      {"Value A (x)\n\nStart\n  ^a$\n",
       "template line 4: a $ in a rule starts ${Name}, $Name or $$ (a literal $), in '^a$'"},
      {"Value A (x)\n\nStart\n  ^${A} ${A}\n",
       "template line 4: invalid regex '^(?P<A>x) (?P<A>x)': redefinition of group name 'A' as "
       "group 2; was group 1 at position 14"},
      {"Value A (x)\n\nStart\n  ^a\n\nEOF\n  ^b -> Record\n",
       "template line 7: the EOF state must have no rules"},
      {"Value A (x)\n\nStart\n  ^a \xff\n", "template line 4: not valid utf-8"},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.text);
    const auto compiled = Template::compile(fault.text);
    ASSERT_FALSE(compiled.has_value());
    EXPECT_EQ(compiled.error().message(), fault.message);
  }
}

TEST(ParseTemplate, ErrorActionAndBudgetNameRuleAndInputLine) {
  const struct {
    std::string text;
    std::string input;
    std::string message;
  } rows[] = {
      {"Value A (\\d)\n\nStart\n  ^a${A}\n  ^b -> Error \"no b here\"\n", "a1\nb\n",
       "template line 5, input line 2: the rule's Error action was taken: no b here"},
      {"Value A (\\d)\n\nStart\n  ^b -> Error\n", "b\n",
       "template line 4, input line 1: the rule's Error action was taken"},
      // Backtracking without end is stopped by the match budget.
      {"Value A (a+)\n\nStart\n  ^x\n  ^(${A})+$$\n", "x\n" + std::string(4096, 'a') + "b\n",
       "template line 5, input line 2: the match exceeded its budget (match limit exceeded)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const auto compiled = Template::compile(row.text);
    ASSERT_TRUE(compiled.has_value()) << compiled.error().message();
    const auto parsed = compiled->parse(row.input);
    ASSERT_FALSE(parsed.has_value());
    EXPECT_EQ(parsed.error().message(), row.message);
  }
}

TEST(ParseTemplate, UnreadLinesAndInvalidUtf8) {
  const auto compiled = Template::compile("Value A (\\S+)\n\nStart\n  ^a ${A} -> Record\n");
  ASSERT_TRUE(compiled.has_value());
  const auto parsed = compiled->parse("a \xff\xfex\r\nzz\n\na 1");
  ASSERT_TRUE(parsed.has_value());
  const std::vector<std::vector<Field>> records{{"\xEF\xBF\xBD\xEF\xBF\xBDx"}, {"1"}};
  EXPECT_EQ(parsed->records.rows(), records);
  ASSERT_EQ(parsed->unread.size(), 2U);
  EXPECT_EQ(parsed->unread[0].number, 2U);
  EXPECT_EQ(parsed->unread[0].text, "zz");
  EXPECT_EQ(parsed->unread[1].number, 3U);
  EXPECT_EQ(parsed->unread[1].text, "");
}

}  // namespace
}  // namespace ov::parse
