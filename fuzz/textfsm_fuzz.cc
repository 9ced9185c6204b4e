// libFuzzer target for a template and an input together: the bytes before
// the first NUL are the template, the rest the input. Records must be as wide
// as the header, unread lines numbered in order within the input, and every
// failure must name a template line and an input line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "parse/template.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\0');
  if (split == std::string_view::npos) return 0;
  const auto compiled = ov::parse::Template::compile(bytes.substr(0, split));
  if (!compiled) return 0;
  const std::string_view input = bytes.substr(split + 1);
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
