// The compiled-in parsers: every template compiles and names only fields of
// its command type's records; every catalog sample output reads with no
// unread line; every answer under tests/data/answers gives the records
// expected beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalog/loader.h"
#include "reading/answer_reading.h"
#include "reading/typed_records.h"

namespace ov::reading {
namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const Catalog& bundled_catalog() {
  static const Catalog catalog = *load_bundled();
  return catalog;
}

const ParserSet& parsers() { return **ParserSet::bundled(); }

TEST(CatalogParsers, TemplatesCompileAndNameOnlyFieldsOfTheirRecords) {
  ASSERT_TRUE(ParserSet::bundled()) << ParserSet::bundled().error();
  for (const ParserChoice& choice : parsers().parsers()) {
    for (const std::string& name : choice.templates) {
      SCOPED_TRACE(name + " for " + std::string(yaml_name(choice.type)));
      const auto compiled = parsers().compiled(name);
      ASSERT_TRUE(compiled) << compiled.error();
      EXPECT_EQ(unknown_values(record_schema(choice.type), (*compiled)->header()),
                std::vector<std::string>{});
    }
  }
}

TEST(CatalogParsers, EverySampleOutputReadsWithNoUnreadLine) {
  for (const VendorFile& file : bundled_catalog().files()) {
    for (const CommandBlock& block : file.commands) {
      for (const CommandEntry& entry : block.versions) {
        if (!entry.sample_output || entry.sample_output->empty() || is_not_supported(entry)) continue;
        // Every parser of the compiled-in indexes reads any firmware ("*").
        const auto firmware = FirmwareVersion::parse("99.0");
        const ParserChoice* choice = parsers().choose(file.vendor, block.type, *firmware);
        if (choice == nullptr) continue;
        SCOPED_TRACE(file.vendor + " " + std::string(yaml_name(block.type)) + " " +
                     entry.applies_to);
        for (const std::string& name : choice->templates) {
          const auto result = (*parsers().compiled(name))->read(*entry.sample_output);
          ASSERT_TRUE(result) << result.error();
          for (const parse::UnreadLine& line : result->unread) {
            ADD_FAILURE() << name << " line " << line.number << " unread: " << line.text;
          }
        }
      }
    }
  }
}

TEST(CatalogParsers, EachAnswerGivesItsExpectedRecords) {
  std::size_t answers = 0;
  for (const auto& expected : fs::recursive_directory_iterator(OV_ANSWERS_DIR)) {
    if (expected.path().extension() != ".json") continue;
    const fs::path folder = expected.path().parent_path();
    const std::string type = folder.filename().string();
    const std::string stem = folder.parent_path().filename().string();
    const std::string name = expected.path().stem().string();
    SCOPED_TRACE(stem + "/" + type + "/" + name);
    const Json document = Json::parse(file_text(expected.path()));
    std::vector<std::string> texts;
    if (fs::exists(folder / (name + ".txt"))) {
      texts.push_back(file_text(folder / (name + ".txt")));
    }
    for (int i = 1; fs::exists(folder / (name + "." + std::to_string(i) + ".txt")); ++i) {
      texts.push_back(file_text(folder / (name + "." + std::to_string(i) + ".txt")));
    }
    const ParserChoice* any = nullptr;
    for (const ParserChoice& choice : parsers().parsers()) {
      if (choice.templates.front().starts_with(stem + "/")) any = &choice;
    }
    ASSERT_NE(any, nullptr) << "no parser of " << stem;
    const std::string firmware = document["firmware"];
    const auto parsed =
        parse_answers(bundled_catalog(), {any->vendor, firmware, type, false}, texts);
    ASSERT_TRUE(parsed) << parsed.error().message;
    EXPECT_EQ(parsed->records.json(), document["records"]);
    for (const UnreadAnswerLine& line : parsed->unread) {
      ADD_FAILURE() << "answer " << line.answer + 1 << " line " << line.line
                    << " unread: " << line.text;
    }
    ++answers;
  }
  EXPECT_GT(answers, 100u);
}

}  // namespace
}  // namespace ov::reading
