// The typed records of every command type as a JSON Schema (draft 2020-12),
// built from the record schemas, for `vantrel schema --records`.
#pragma once

#include "base/json.h"

namespace ov::reading {

Json records_json_schema();

}  // namespace ov::reading
