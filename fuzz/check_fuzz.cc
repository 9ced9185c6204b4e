// libFuzzer target for the checks of `vantrel check` on one file's text: they
// run the reader, then walk the file a second time to place each finding, so
// that walk must hold for every text the reader accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "catalog/loader.h"
#include "check/lint.h"
#include "fuzz_support.h"

using ov::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ov::check::Finding> findings;
  const auto vendor = ov::check::check_text("f.yaml", text, findings);
  const auto file = ov::parse_vendor_file(text);
  // The checks read the file exactly as a load does.
  require(vendor.has_value() == file.has_value());
  if (vendor) require(vendor->vendor == file->vendor);
  if (!vendor) require(findings.size() == 1);

  std::size_t ranges = 0;
  for (const ov::check::Finding& finding : findings) {
    require(finding.file == "f.yaml");
    require(ov::is_valid_utf8(finding.text));
    // A finding of the checks' own ends with its position, one-based. (A
    // reading error keeps the reader's wording, which may place it elsewhere.)
    const bool own = finding.kind != ov::check::FindingKind::Rule &&
                     finding.kind != ov::check::FindingKind::Syntax;
    if (own && finding.mark) {
      const std::string tail = " at line " + std::to_string(finding.mark->line + 1) + " column " +
                               std::to_string(finding.mark->column + 1);
      require(std::string_view(finding.text).ends_with(tail));
    }
    if (finding.kind == ov::check::FindingKind::Range) ++ranges;
  }
  if (file) {
    std::size_t malformed = 0;
    for (const ov::CommandBlock& block : file->commands) {
      for (const ov::CommandEntry& entry : block.versions) malformed += !entry.range;
    }
    require(ranges == malformed);
  }
  return 0;
}
