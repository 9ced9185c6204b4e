// The vendor-file format as a JSON Schema (draft 2020-12), for editors that
// check YAML as it is typed.
#pragma once

#include "base/json.h"

namespace ov {

// Built from the reader's own field tables: every record under $defs, each
// key with its meaning, the required keys, the command types' names. Text
// takes any scalar, as the reader does; keys the reader skips stay allowed.
Json vendor_file_schema();

}  // namespace ov
