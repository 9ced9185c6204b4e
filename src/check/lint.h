// The checks `vantrel check` makes on a directory of vendor files, for their
// authors. Loading stops at the first bad file and leaves a malformed range
// to the lookups; these checks read every file and judge every entry.
#pragma once

#include <array>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_error.h"

namespace ov::check {

enum class Severity { Error, Warning };

enum class FindingKind {
  Io,               // the file could not be read (error)
  Syntax,           // not well-formed YAML (error)
  Rule,             // well-formed, but not a vendor file (error)
  Range,            // an applies_to that does not parse (error)
  MissingType,      // no block of a command type (warning)
  RepeatedType,     // a second block of a type, never consulted (warning)
  DuplicateVendor,  // a later file replaces an earlier one's vendor (warning)
  MarkerLookalike,  // a cli that reads as text though it looks like NOT_SUPPORTED (warning)
  ShadowedEntry,    // an entry whose range an earlier entry of its block has (warning)
  NoFiles,          // the directory holds no vendor file (warning)
  IgnoredFile,      // a name a load skips, though meant for a vendor file (warning)
};

// Each kind's name in `check --json` and its severity. Indexed by FindingKind.
struct FindingKindInfo {
  FindingKind kind;
  std::string_view name;
  Severity severity;
};

inline constexpr std::array<FindingKindInfo, 11> kFindingKinds{{
    {FindingKind::Io, "io", Severity::Error},
    {FindingKind::Syntax, "syntax", Severity::Error},
    {FindingKind::Rule, "rule", Severity::Error},
    {FindingKind::Range, "range", Severity::Error},
    {FindingKind::MissingType, "missing_type", Severity::Warning},
    {FindingKind::RepeatedType, "repeated_type", Severity::Warning},
    {FindingKind::DuplicateVendor, "duplicate_vendor", Severity::Warning},
    {FindingKind::MarkerLookalike, "marker_lookalike", Severity::Warning},
    {FindingKind::ShadowedEntry, "shadowed_entry", Severity::Warning},
    {FindingKind::NoFiles, "no_files", Severity::Warning},
    {FindingKind::IgnoredFile, "ignored_file", Severity::Warning},
}};

const FindingKindInfo& info(FindingKind kind);

struct Finding {
  FindingKind kind = FindingKind::Rule;
  std::string file;                 // "" for a finding about the directory
  std::optional<std::string> path;  // node path, "." for the root
  std::optional<Mark> mark;         // zero-based
  std::string message;              // without path and position
  std::string text;                 // the one-line form: "path: message at line L column C"
};

struct CheckReport {
  std::vector<std::string> files;  // the vendor files read, in reading order
  std::vector<Finding> findings;   // file by file, in reading order
};

// The name a load would read, for an entry it skips whose author most likely
// meant it as a vendor file: a `yml` or `yaml` extension in other letter case,
// or white space after it. nullopt for every other name, those a load reads
// among them.
std::optional<std::string> near_miss_name(std::string_view name);

// Checks every `*.yaml` file of `dir`, in the order a load reads them, and
// warns about near-miss names among the entries, in the same name order.
// Fails (with the Io error a load would give) only when the directory cannot
// be listed.
std::expected<CheckReport, CatalogError> check_directory(std::string_view dir);

// The vendor a file declares, and where its `vendor` value stands.
struct DeclaredVendor {
  std::string vendor;
  std::optional<Mark> mark;
};

// The checks of one file's text, for the file named `file`, and the vendor
// it declares (nullopt when it does not read as a vendor file).
std::optional<DeclaredVendor> check_text(std::string_view file, std::string_view text,
                                         std::vector<Finding>& findings);

Severity severity(const Finding& finding);
std::string_view severity_name(Severity severity);

}  // namespace ov::check
