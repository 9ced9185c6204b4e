// The records a template gives, as documents: one object per record keyed by
// the Value names in their order, values as python3-textfsm gives them (a
// text; a List as a list of texts, of null, or of its named groups).
#pragma once

#include "base/json.h"
#include "parse/template.h"

namespace ov::reading {

Json raw_field_json(const parse::Field& field);

Json raw_records_json(const std::vector<std::string>& header,
                      const parse::Records& records);

}  // namespace ov::reading
