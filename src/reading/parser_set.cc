#include "reading/parser_set.h"

#include "base/json.h"
#include "catalog/bundled.h"

namespace ov {
// Written by cmake/embed_catalog.cmake from catalog/parsers.
std::span<const BundledFile> parser_files();
}  // namespace ov

namespace ov::reading {
namespace {

constexpr std::string_view kIndexSuffix = ".json";
constexpr std::string_view kJsonMapSuffix = ".jsonmap";

std::expected<AnswerReader, std::string> compile_reader(std::string_view name,
                                                        std::string_view text) {
  if (name.ends_with(kJsonMapSuffix)) {
    auto map = JsonMap::compile(text);
    if (!map) return std::unexpected(std::string(name) + ": " + map.error());
    return AnswerReader(std::move(*map));
  }
  auto compiled = parse::Template::compile(text);
  if (!compiled) return std::unexpected(std::string(name) + ": " + compiled.error().message());
  return AnswerReader(std::move(*compiled));
}

std::expected<ParserChoice, std::string> read_choice(std::string_view index,
                                                     std::string_view folder,
                                                     const std::string& vendor, const Json& row) {
  const std::string where = std::string(index) + ": ";
  if (!row.is_object() || !row.contains("type") || !row.contains("applies_to") ||
      !row.contains("templates")) {
    return std::unexpected(where + "a parser needs type, applies_to and templates");
  }
  const auto type = find_command_type(row["type"].get<std::string>());
  if (!type) return std::unexpected(where + "unknown command type " + row["type"].dump());
  auto range = VersionRange::parse(row["applies_to"].get<std::string>());
  if (!range) return std::unexpected(where + range.error().message());
  ParserChoice choice{vendor, *type, row["applies_to"].get<std::string>(), std::move(*range), {}, {}};
  for (const Json& name : row["templates"]) {
    choice.templates.push_back(std::string(folder) + "/" + name.get<std::string>());
  }
  if (row.contains("defaults")) {
    for (const auto& [field, text] : row["defaults"].items()) {
      choice.defaults.emplace(field, text.get<std::string>());
    }
  }
  return choice;
}

}  // namespace

std::expected<const ParserSet*, std::string> ParserSet::bundled() {
  static const std::expected<std::unique_ptr<ParserSet>, std::string> set =
      []() -> std::expected<std::unique_ptr<ParserSet>, std::string> {
    auto built = std::make_unique<ParserSet>();
    for (const BundledFile& file : parser_files()) {
      if (!file.name.ends_with(kIndexSuffix)) {
        auto entry = std::make_unique<TemplateFile>();
        entry->text = file.text;
        built->files_.emplace(std::string(file.name), std::move(entry));
        continue;
      }
      const std::string_view folder = file.name.substr(0, file.name.size() - kIndexSuffix.size());
      try {
        const Json index = Json::parse(file.text);
        const std::string vendor = index.at("vendor").get<std::string>();
        for (const Json& row : index.at("parsers")) {
          auto choice = read_choice(file.name, folder, vendor, row);
          if (!choice) return std::unexpected(choice.error());
          built->parsers_.push_back(std::move(*choice));
        }
      } catch (const Json::exception& error) {
        return std::unexpected(std::string(file.name) + ": " + error.what());
      }
    }
    for (const ParserChoice& choice : built->parsers_) {
      for (const std::string& name : choice.templates) {
        if (!built->files_.contains(name)) {
          return std::unexpected("no template " + name + " for " + choice.vendor);
        }
      }
    }
    return built;
  }();
  if (!set) return std::unexpected(set.error());
  return set->get();
}

const ParserChoice* ParserSet::choose(std::string_view vendor, CommandType type,
                                      const FirmwareVersion& firmware) const {
  const ParserChoice* best = nullptr;
  for (const ParserChoice& choice : parsers_) {
    if (choice.vendor != vendor || choice.type != type || !choice.range.matches(firmware)) continue;
    if (best == nullptr || choice.range.specificity() > best->range.specificity()) best = &choice;
  }
  return best;
}

std::expected<const AnswerReader*, std::string> ParserSet::compiled(std::string_view name) const {
  const auto found = files_.find(name);
  if (found == files_.end()) return std::unexpected("no template " + std::string(name));
  const TemplateFile& file = *found->second;
  std::call_once(file.once, [&] { file.compiled = compile_reader(name, file.text); });
  if (!*file.compiled) return std::unexpected(file.compiled->error());
  return &**file.compiled;
}

const std::vector<std::string>& AnswerReader::header() const {
  return std::visit([](const auto& reader) -> const std::vector<std::string>& {
    return reader.header();
  }, reader_);
}

std::expected<parse::ParseResult, std::string> AnswerReader::read(std::string_view answer) const {
  if (const auto* map = std::get_if<JsonMap>(&reader_)) return map->parse(answer);
  auto result = std::get<parse::Template>(reader_).parse(answer);
  if (!result) return std::unexpected(result.error().message());
  return std::move(*result);
}

}  // namespace ov::reading
