// libFuzzer target for a template and an input together: the bytes before
// the first NUL are the template, the rest the input. Records must be as wide
// as the header, unread lines numbered in order within the input, and every
// failure must name a template line and an input line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "parse/template.h"

using ov::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = ov::fuzz::split_at_nul(data, size);
  if (!parts) return 0;
  const auto compiled = ov::parse::Template::compile(parts->first);
  if (!compiled) return 0;
  const std::string_view input = parts->second;
  const auto parsed = compiled->parse(input);
  if (!parsed) {
    require(parsed.error().template_line >= 1 && parsed.error().input_line >= 1);
    require(parsed.error().input_line <= input.size());
    return 0;
  }
  for (const auto& record : parsed->records) require(record.size() == compiled->header().size());
  std::size_t last = 0;
  for (const auto& line : parsed->unread) {
    require(line.number > last && line.number <= input.size());
    last = line.number;
  }
  return 0;
}
