#include "check/lint.h"

#include <algorithm>
#include <array>
#include <map>

#include "base/ascii.h"
#include "base/enum_table.h"
#include "base/utf8.h"
#include "catalog/command_type.h"
#include "catalog/directory.h"
#include "catalog/firmware_version.h"
#include "catalog/loader.h"
#include "catalog/lookup.h"
#include "catalog/records.h"
#include "catalog/text_file.h"
#include "check/node_locator.h"

namespace ov::check {
namespace {

Finding finding(FindingKind kind, std::string_view file, std::optional<std::string> path,
                std::optional<Mark> mark, std::string message) {
  Finding f{kind, std::string(file), std::move(path), mark, std::move(message), {}};
  // Worded as the loader words a reading error: path first, position last.
  f.text = YamlError::rule(f.message, f.path, f.mark).render();
  return f;
}

Finding parse_finding(std::string_view file, const YamlError& error) {
  Finding f;
  f.file = std::string(file);
  f.text = error.render();  // the words a load would use after "catalog parse error in F: "
  if (error.kind == YamlError::Kind::Parser) {
    f.kind = FindingKind::Syntax;
    f.mark = error.mark;
    f.message = error.message;
    if (error.context) f.message += ", " + *error.context;
  } else {
    f.kind = FindingKind::Rule;
    f.path = error.path;
    f.mark = error.mark;
    f.message = error.message;
  }
  return f;
}

std::string block_path(std::size_t block) { return "commands[" + std::to_string(block) + "]"; }

std::string entry_path(std::size_t block, std::size_t entry) {
  return block_path(block) + ".versions[" + std::to_string(entry) + "]";
}

// ASCII upper case of the trimmed text equals the marker, but the text does
// not: a lookup returns it as a command to send.
bool marker_lookalike(std::string_view cli) {
  if (cli == kNotSupported) return false;
  const std::string_view trimmed = trim_white_space(cli);
  return equals_ignoring_ascii_case(trimmed, kNotSupported);
}

void check_blocks(std::string_view file, const VendorFile& vendor, const NodeLocator& where,
                  std::vector<Finding>& findings) {
  std::array<std::optional<std::size_t>, kCommandTypeCount> first{};
  for (std::size_t b = 0; b < vendor.commands.size(); ++b) {
    const CommandBlock& block = vendor.commands[b];
    auto& seen = first[ordinal(block.type)];
    if (seen) {
      const std::array<PathStep, 3> at{"commands", b, "type"};
      findings.push_back(finding(FindingKind::RepeatedType, file, block_path(b) + ".type",
                                 where.find(at),
                                 "repeated type " + std::string(yaml_name(block.type)) +
                                     ": lookups use only the block at " + block_path(*seen)));
    } else {
      seen = b;
    }
    for (std::size_t e = 0; e < block.versions.size(); ++e) {
      const CommandEntry& entry = block.versions[e];
      if (!entry.range) {
        const std::array<PathStep, 5> at{"commands", b, "versions", e, "applies_to"};
        findings.push_back(finding(FindingKind::Range, file, entry_path(b, e) + ".applies_to",
                                   where.find(at), entry.range.error().message()));
      }
      if (marker_lookalike(entry.cli)) {
        const std::array<PathStep, 5> at{"commands", b, "versions", e, "cli"};
        findings.push_back(finding(
            FindingKind::MarkerLookalike, file, entry_path(b, e) + ".cli", where.find(at),
            "sent as a command text, not read as the marker: only NOT_SUPPORTED exactly, with "
            "nothing around it, marks an unsupported command (a literal block adds a line break)"));
      }
    }
  }
  // One warning for all of them: a new file lacks most types at first.
  std::string missing;
  std::size_t count = 0;
  for (const CommandTypeName& name : kCommandTypes) {
    if (first[ordinal(name.type)]) continue;
    missing += (count++ == 0 ? "" : ", ") + std::string(name.yaml);
  }
  if (count == 0) return;
  const std::array<PathStep, 1> commands{"commands"};
  findings.push_back(finding(FindingKind::MissingType, file, "commands", where.find(commands),
                             (count == 1 ? "no block of type " : "no block of types ") + missing +
                                 ": every lookup of " + (count == 1 ? "it" : "them") +
                                 " finds no entry"));
}

}  // namespace

std::optional<DeclaredVendor> check_text(std::string_view file, std::string_view text,
                                         std::vector<Finding>& findings) {
  const auto vendor = parse_vendor_file(text);
  if (!vendor) {
    findings.push_back(parse_finding(file, vendor.error()));
    return std::nullopt;
  }
  const NodeLocator where(text);
  check_blocks(file, *vendor, where, findings);
  const std::array<PathStep, 1> at{"vendor"};
  return DeclaredVendor{vendor->vendor, where.find(at)};
}

std::expected<CheckReport, CatalogError> check_directory(std::string_view dir) {
  const auto files = list_vendor_files(dir);
  if (!files) return std::unexpected(io_error(files.error(), dir));
  CheckReport report;
  std::map<std::string, std::string, std::less<>> declared;  // vendor -> first file
  for (const VendorFilePath& entry : *files) {
    const std::string& file = entry.name;
    report.files.push_back(file);
    const auto text = read_text_file(entry.path);
    if (!text) {
      report.findings.push_back(finding(FindingKind::Io, file, std::nullopt, std::nullopt,
                                        io_error(text.error(), entry.path).message()));
      continue;
    }
    const std::size_t before = report.findings.size();
    const auto declaration = check_text(file, *text, report.findings);
    if (!declaration) continue;
    const auto [earlier, fresh] = declared.try_emplace(declaration->vendor, file);
    if (!fresh) {
      // Placed before this file's other findings: it is about the file as a whole.
      report.findings.insert(
          report.findings.begin() + static_cast<std::ptrdiff_t>(before),
          finding(FindingKind::DuplicateVendor, file, "vendor", declaration->mark,
                  "vendor " + declaration->vendor + " is also declared by " + earlier->second +
                      ", which this file replaces when the directory is loaded"));
    }
  }
  if (report.files.empty()) {
    report.findings.push_back(finding(FindingKind::NoFiles, "", std::nullopt, std::nullopt,
                                      "no *.yaml file in the directory"));
  }
  return report;
}

std::string_view severity_name(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

static_assert(indexed_by_enum(kFindingKinds, &FindingKindInfo::kind),
              "kFindingKinds must list the kinds in declaration order");

const FindingKindInfo& info(FindingKind kind) {
  return kFindingKinds[static_cast<std::size_t>(kind)];
}

Severity severity(const Finding& finding) { return info(finding.kind).severity; }

}  // namespace ov::check
