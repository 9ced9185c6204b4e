#include "python/binding_messages.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace ov::py {
namespace {

constexpr std::array<std::string_view, 3> kCliParams{"vendor", "firmware", "command"};
constexpr CallableSpec kCli{"Catalog", "cli", kCliParams, 3};
constexpr std::array<std::string_view, 1> kPathParams{"path"};
constexpr CallableSpec kLoadDir{"Catalog", "load_dir", kPathParams, 1};

TEST(BindingMessages, MissingArgumentsListsInDeclarationOrder) {
  struct Row {
    std::vector<std::string_view> missing;
    std::string_view expected;
  };
  const Row rows[] = {
      {{"vendor"}, "Catalog.cli() missing 1 required positional argument: 'vendor'"},
      {{"vendor", "firmware", "command"},
       "Catalog.cli() missing 3 required positional arguments: 'vendor', 'firmware', and "
       "'command'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(missing_arguments_message(kCli, row.missing), row.expected);
  }
}

TEST(BindingMessages, TooManyPositional) {
  struct Row {
    const CallableSpec* callable;
    std::size_t given;
    std::string_view expected;
  };
  const Row rows[] = {
      {&kLoadDir, 2, "Catalog.load_dir() takes 1 positional arguments but 2 were given"},
      {&kCli, 4, "Catalog.cli() takes 3 positional arguments but 4 were given"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(too_many_positional_message(*row.callable, row.given), row.expected);
  }
}

}  // namespace
}  // namespace ov::py
