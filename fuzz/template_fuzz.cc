// libFuzzer target for the TextFSM template reader. Each input is read as a
// template; a refused one must name a line of it, an accepted one must parse
// a small input into records as wide as its header. Any broken promise aborts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "parse/template.h"

using ov::fuzz::require;

namespace {

constexpr std::string_view kInput = "a 1\nb x y\n\nend\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto compiled = ov::parse::Template::compile(text);
  if (!compiled) {
    const ov::parse::TemplateError& error = compiled.error();
    std::size_t lines = 1;
    for (const char c : text) lines += c == '\n' || c == '\r';
    require(error.line >= 1 && error.line <= lines);
    require(!error.reason.empty());
    require(error.message() == "template line " + std::to_string(error.line) + ": " + error.reason);
    return 0;
  }
  const auto parsed = compiled->parse(kInput);
  if (!parsed) {
    require(parsed.error().input_line >= 1 && parsed.error().input_line <= 4);
    return 0;
  }
  for (const auto& record : parsed->records) require(record.size() == compiled->header().size());
  return 0;
}
