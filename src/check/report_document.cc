#include "check/report_document.h"

namespace ov::check {

Counts count(const CheckReport& report) {
  Counts counts;
  for (const Finding& f : report.findings) {
    ++(severity(f) == Severity::Error ? counts.errors : counts.warnings);
  }
  return counts;
}

Json report_document(std::string_view directory, const CheckReport& report) {
  Json findings = Json::array();
  for (const Finding& f : report.findings) {
    const auto one_based = [&](std::size_t Mark::*field) -> Json {
      if (!f.mark) return nullptr;
      return (*f.mark).*field + 1;
    };
    findings.push_back({{"file", f.file.empty() ? Json(nullptr) : Json(f.file)},
                        {"severity", severity_name(severity(f))},
                        {"kind", info(f.kind).name},
                        {"path", optional_json(f.path)},
                        {"line", one_based(&Mark::line)},
                        {"column", one_based(&Mark::column)},
                        {"message", f.message}});
  }
  const Counts counts = count(report);
  return {{"directory", directory},
          {"files", report.files},
          {"errors", counts.errors},
          {"warnings", counts.warnings},
          {"findings", std::move(findings)}};
}

}  // namespace ov::check
