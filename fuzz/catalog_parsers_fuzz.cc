// libFuzzer target for the compiled-in parsers: the first byte picks a parser
// (a vendor and command type), the rest is a device's answer, read by each of
// the parser's templates and turned into typed records. A device's answer is
// untrusted: nothing may crash, hang or grow without bound. The records
// written as they are typed must be the bytes of the whole tree's dump.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "reading/parser_set.h"
#include "reading/typed_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto set = ov::reading::ParserSet::bundled();
  if (!set || (*set)->parsers().empty()) return 0;
  const auto& parsers = (*set)->parsers();
  const ov::reading::ParserChoice& choice = parsers[data[0] % parsers.size()];
  const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<ov::parse::ParseResult> results;
  std::vector<const ov::reading::AnswerReader*> templates;
  for (const std::string& name : choice.templates) {
    const auto compiled = (*set)->compiled(name);
    if (!compiled) __builtin_trap();  // compiled-in templates always compile
    auto result = (*compiled)->read(answer);
    if (!result) continue;  // an Error rule or the match budget: a refusal, not a fault
    results.push_back(std::move(*result));
    templates.push_back(*compiled);
  }
  std::vector<ov::reading::RawAnswer> raw;
  for (std::size_t i = 0; i < results.size(); ++i) {
    raw.push_back({&templates[i]->header(), &results[i].records});
  }
  const ov::reading::TypedRecords typed(ov::reading::record_schema(choice.type), raw, choice.defaults);
  std::string streamed;
  ov::reading::JsonWriter writer([&streamed](std::string_view piece) { streamed += piece; });
  typed.write_json(writer);
  writer.flush();
  ov::fuzz::require(streamed == typed.json().dump(-1, ' ', false, ov::Json::error_handler_t::replace));
  return 0;
}
