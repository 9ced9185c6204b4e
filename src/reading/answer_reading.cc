#include "reading/answer_reading.h"

#include "base/utf8.h"
#include "catalog/firmware_version.h"
#include "lookup/outcome_names.h"
#include "lookup/user_names.h"
#include "reading/typed_records.h"

namespace ov::reading {
namespace {

constexpr std::string_view kNoParser = "no_parser";

Failure answer_count(std::size_t wanted, std::size_t given, const std::vector<std::string>& commands) {
  std::string list;
  for (const std::string& command : commands) list += (list.empty() ? "" : "; ") + command;
  return usage_failure("expected " + std::to_string(wanted) +
                       (wanted == 1 ? " answer" : " answers, one per command") + " (" + list +
                       "), got " + std::to_string(given));
}

// VERSION's firmware: the os_version as a lookup reads it.
void add_firmware(Json& record) {
  if (!record.contains("os_version") || !record["os_version"].is_string()) return;
  const std::string firmware = firmware_to_look_up(record["os_version"].get<std::string>());
  if (FirmwareVersion::parse(firmware)) record["firmware"] = firmware;
}

// The document's members before its records: vendor to parsers.
Json document_head(const ParsedAnswers& parsed) {
  const LookupAnswer& lookup = parsed.lookup;
  const bool text = lookup.outcome.status == LookupStatus::Text;
  Json parsers = Json::array();
  if (parsed.parser != nullptr) {
    for (const std::string& name : parsed.parser->templates) {
      parsers.push_back({{"template", name}, {"applies_to", parsed.parser->applies_to}});
    }
  }
  return {{"vendor", lookup.vendor},
          {"firmware", lookup.firmware},
          {"firmware_used", lookup.firmware_used},
          {"command", yaml_name(lookup.command)},
          {"status", text && parsed.parser == nullptr ? kNoParser
                                                      : outcome_name(lookup.outcome.status)},
          {"parsers", std::move(parsers)}};
}

Json unread_json(const ParsedAnswers& parsed) {
  Json unread = Json::array();
  for (const UnreadAnswerLine& line : parsed.unread) {
    unread.push_back({{"answer", line.answer}, {"line", line.line}, {"text", line.text}});
  }
  return unread;
}

}  // namespace

std::expected<ParsedAnswers, Failure> parse_answers(const Catalog& catalog,
                                                    const LookupQuery& query,
                                                    std::span<const std::string> answers) {
  auto lookup = answer_lookup(catalog, query, Settings{});
  if (!lookup) return std::unexpected(lookup.error());
  ParsedAnswers parsed;
  parsed.lookup = std::move(*lookup);
  if (parsed.lookup.outcome.status != LookupStatus::Text) return parsed;

  const auto set = ParserSet::bundled();
  if (!set) return std::unexpected(Failure{FailureKind::Catalog, set.error(), {}});
  const auto firmware = FirmwareVersion::parse(parsed.lookup.firmware_used);
  if (!firmware) return std::unexpected(usage_failure(firmware.error().message()));
  parsed.parser = (*set)->choose(parsed.lookup.vendor, parsed.lookup.command, *firmware);
  if (parsed.parser == nullptr) return parsed;

  const RecordSchema& schema = record_schema(parsed.lookup.command);
  const std::vector<std::string> commands = entry_commands(parsed.lookup.outcome.entry->cli);
  // A write operation's commands run in one session: their answers are read as one.
  std::vector<std::string> joined;
  std::span<const std::string> inputs = answers;
  if (schema.write) {
    std::string all;
    for (const std::string& answer : answers) all += answer + (answer.ends_with('\n') ? "" : "\n");
    joined.push_back(std::move(all));
    inputs = joined;
  } else if (answers.size() != parsed.parser->templates.size()) {
    return std::unexpected(answer_count(parsed.parser->templates.size(), answers.size(), commands));
  }

  std::vector<parse::ParseResult> results;
  std::vector<const std::vector<std::string>*> headers;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const std::string& name = parsed.parser->templates[std::min(i, parsed.parser->templates.size() - 1)];
    const auto compiled = (*set)->compiled(name);
    if (!compiled) return std::unexpected(Failure{FailureKind::Catalog, compiled.error(), {}});
    auto result = (*compiled)->read(inputs[i]);
    if (!result) {
      return std::unexpected(
          usage_failure("answer " + std::to_string(i + 1) + ": " + name + ": " + result.error()));
    }
    for (parse::UnreadLine& line : result->unread) {
      parsed.unread.push_back({i, line.number, std::move(line.text)});
    }
    headers.push_back(&(*compiled)->header());
    results.push_back(std::move(*result));
  }
  std::vector<RawAnswer> raw;
  for (std::size_t i = 0; i < results.size(); ++i) raw.push_back({headers[i], &results[i].records});
  const bool version = parsed.lookup.command == CommandType::Version;
  parsed.records = TypedRecords(schema, raw, parsed.parser->defaults, version ? add_firmware : nullptr);
  return parsed;
}

Json parse_document(const ParsedAnswers& parsed) {
  Json document = document_head(parsed);
  document["records"] = parsed.records.json();
  document["unread"] = unread_json(parsed);
  return document;
}

void write_parse_document(const ParsedAnswers& parsed, JsonWriter& out) {
  const Json head = document_head(parsed);
  out.begin_object();
  for (const auto& [name, value] : head.items()) {
    out.key(name);
    out.value(value);
  }
  out.key("records");
  parsed.records.write_json(out);
  out.key("unread");
  out.value(unread_json(parsed));
  out.end_object();
  out.flush();
}

}  // namespace ov::reading
