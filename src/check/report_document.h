// What `check` found, as a document: directory, files, errors, warnings and
// findings, each with file, severity, kind, path, line, column (one-based)
// and message.
#pragma once

#include <string_view>

#include "base/json.h"
#include "check/lint.h"

namespace ov::check {

struct Counts {
  std::size_t errors = 0;
  std::size_t warnings = 0;
};

Counts count(const CheckReport& report);

Json report_document(std::string_view directory, const CheckReport& report);

}  // namespace ov::check
