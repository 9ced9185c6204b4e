#include "check/lint.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <tuple>

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
#include "catalog/version_range.h"
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

// Line `line` (zero-based) of `text`, without its line break.
std::string_view line_at(std::string_view text, std::size_t line) {
  std::size_t start = 0;
  for (; line > 0; --line) {
    start = text.find('\n', start);
    if (start == std::string_view::npos) return {};
    ++start;
  }
  return text.substr(start, text.find('\n', start) - start);
}

// The value of a block mapping's `applies_to` key on `line`, as written, when
// it starts unquoted with `*` (an alias to YAML), `>` (a folded block scalar)
// or `<`: a range that only quoting keeps as text.
std::optional<std::string_view> unquoted_range(std::string_view line) {
  constexpr std::string_view kKey = "applies_to:";
  constexpr std::string_view kRangeStarts = "*><";
  std::string_view rest = line.substr(std::min(line.find_first_not_of(" \t-"), line.size()));
  if (!rest.starts_with(kKey)) return std::nullopt;
  rest.remove_prefix(kKey.size());
  if (rest.empty() || (rest.front() != ' ' && rest.front() != '\t')) return std::nullopt;
  const std::string_view value = trim_white_space(rest.substr(0, rest.find(" #")));
  if (value.empty() || kRangeStarts.find(value.front()) == std::string_view::npos) {
    return std::nullopt;
  }
  return value;
}

// " (quote the range: ...)" when the parser stopped, or began what it could
// not finish, on an unquoted range; else "".
std::string quote_hint(std::string_view text, const YamlError& error) {
  const std::array<std::optional<std::size_t>, 2> lines{
      error.mark ? std::optional(error.mark->line) : std::nullopt,
      error.context ? std::optional(error.context_mark.line) : std::nullopt};
  for (const auto& line : lines) {
    const auto value = line ? unquoted_range(line_at(text, *line)) : std::nullopt;
    if (value && is_valid_utf8(*value)) {
      return " (quote the range: applies_to: " + debug_quoted(*value) + ")";
    }
  }
  return "";
}

Finding parse_finding(std::string_view file, std::string_view text, const YamlError& error) {
  Finding f;
  f.file = std::string(file);
  f.text = error.render();  // the words a load would use after "catalog parse error in F: "
  f.mark = error.mark;
  f.message = error.message;
  if (error.kind == YamlError::Kind::Parser) {
    f.kind = FindingKind::Syntax;
    if (error.context) f.message += ", " + *error.context;
    const std::string hint = quote_hint(text, error);
    f.message += hint;
    f.text += hint;
  } else {
    f.kind = FindingKind::Rule;
    f.path = error.path;
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
  if (cli == kNotSupported) return false;  // the marker itself
  const std::string_view trimmed = trim_white_space(cli);
  return equals_ignoring_ascii_case(trimmed, kNotSupported);
}

// A range as the lookup sees it: each alternative's comparators (operator,
// prefix and the four numbers; the suffix never takes part) sorted, then the
// alternatives sorted. Ranges of one form match the same firmware with the
// same specificity, however they were written.
using ComparatorForm = std::tuple<CompareOp, std::optional<std::string>, std::uint32_t,
                                  std::uint32_t, std::uint32_t, std::uint32_t>;
using RangeForm = std::vector<std::vector<ComparatorForm>>;  // empty for "*"

RangeForm range_form(const VersionRange& range) {
  RangeForm form;
  for (const auto& alternative : range.alternatives) {
    auto& all = form.emplace_back();
    for (const VersionComparator& c : alternative) {
      const FirmwareVersion& v = c.version;
      all.emplace_back(c.op, v.platform_prefix, v.major, v.minor, v.patch, v.build);
    }
    std::ranges::sort(all);
  }
  std::ranges::sort(form);
  return form;
}

// The lookup takes the earliest of the entries with the most comparators, so
// of two entries with the same range the later one is never chosen.
Finding shadowed(std::string_view file, std::size_t b, std::size_t e, const CommandBlock& block,
                 std::size_t earlier, const NodeLocator& where) {
  const std::array<PathStep, 5> at{"commands", b, "versions", e, "applies_to"};
  return finding(FindingKind::ShadowedEntry, file, entry_path(b, e) + ".applies_to", where.find(at),
                 "same range as " + entry_path(b, earlier) + " (" +
                     debug_quoted(block.versions[earlier].range->raw) +
                     "): lookups choose that entry, never this one");
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
    std::map<RangeForm, std::size_t> ranges;  // each range's first entry in the block
    for (std::size_t e = 0; e < block.versions.size(); ++e) {
      const CommandEntry& entry = block.versions[e];
      if (!entry.range) {
        const std::array<PathStep, 5> at{"commands", b, "versions", e, "applies_to"};
        findings.push_back(finding(FindingKind::Range, file, entry_path(b, e) + ".applies_to",
                                   where.find(at), entry.range.error().message()));
      } else if (const auto earlier = ranges.try_emplace(range_form(*entry.range), e).first;
                 earlier->second != e) {
        findings.push_back(shadowed(file, b, e, block, earlier->second, where));
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

using Declared = std::map<std::string, std::string, std::less<>>;  // vendor -> first file

void check_file(const VendorFilePath& entry, CheckReport& report, Declared& declared) {
  const std::string& file = entry.name;
  report.files.push_back(file);
  const auto text = read_text_file(entry.path);
  if (!text) {
    report.findings.push_back(finding(FindingKind::Io, file, std::nullopt, std::nullopt,
                                      io_error(text.error(), entry.path).message()));
    return;
  }
  const std::size_t before = report.findings.size();
  const auto declaration = check_text(file, *text, report.findings);
  if (!declaration) return;
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

// A directory or device under such a name was never meant as a vendor file.
bool is_regular_file(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// Quoted, so that white space at the end of the name shows.
Finding ignored_file(std::string_view name, std::string_view suggested) {
  std::string message = "not read: only *.yaml files are loaded";
  if (is_valid_utf8(name)) {
    message += " (rename " + debug_quoted(name) + " to " + std::string(suggested) + ")";
  }
  return finding(FindingKind::IgnoredFile, display_file_name(name), std::nullopt, std::nullopt,
                 std::move(message));
}

}  // namespace

std::optional<DeclaredVendor> check_text(std::string_view file, std::string_view text,
                                         std::vector<Finding>& findings) {
  const auto vendor = parse_vendor_file(text);
  if (!vendor) {
    findings.push_back(parse_finding(file, text, vendor.error()));
    return std::nullopt;
  }
  const NodeLocator where(text);
  check_blocks(file, *vendor, where, findings);
  const std::array<PathStep, 1> at{"vendor"};
  return DeclaredVendor{vendor->vendor, where.find(at)};
}

std::optional<std::string> near_miss_name(std::string_view name) {
  constexpr std::array<std::string_view, 2> kMeant{"yaml", "yml"};
  const std::string_view kept = name.substr(0, name.find_last_not_of(" \t\n\v\f\r") + 1);
  const std::size_t dot = kept.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || has_yaml_extension(name)) return std::nullopt;
  const std::string_view extension = kept.substr(dot + 1);
  const auto meant = [&](std::string_view e) { return equals_ignoring_ascii_case(extension, e); };
  if (std::ranges::none_of(kMeant, meant)) return std::nullopt;
  return std::string(kept.substr(0, dot)) + ".yaml";
}

std::expected<CheckReport, CatalogError> check_directory(std::string_view dir) {
  // One listing for both, so that the findings keep the byte order of names.
  const auto names = list_directory(dir);
  if (!names) return std::unexpected(io_error(names.error(), dir));
  CheckReport report;
  Declared declared;
  for (const std::string& name : *names) {
    const VendorFilePath entry = vendor_file_path(dir, name);
    if (has_yaml_extension(name)) {
      check_file(entry, report, declared);
      continue;
    }
    const auto suggested = near_miss_name(name);
    if (suggested && is_regular_file(entry.path)) {
      report.findings.push_back(ignored_file(name, *suggested));
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
