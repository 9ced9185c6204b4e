// The vendor-file format as a JSON Schema (draft 2020-12), for editors that
// check YAML as it is typed.
#pragma once

#include <nlohmann/json.hpp>

namespace ov::cli {

// Built from the reader's own field tables: every record under $defs, each
// key with its meaning, the required keys, the command types' names. Text
// takes any scalar, as the reader does; keys the reader skips stay allowed.
nlohmann::ordered_json vendor_file_schema();

}  // namespace ov::cli
