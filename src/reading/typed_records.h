// The raw records a template gives for each answer, turned into the typed
// records of the command type's schema: Values name fields ("members__interface"
// a subfield of a list of records, "age__minutes" a duration given in
// minutes), raw records merge by the schema's rules, and write operations
// become {ok, messages} from their "error" and "warning" Values.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "parse/template.h"
#include "reading/record_schema.h"

namespace ov::reading {

// What one template gave for one answer.
struct RawAnswer {
  const std::vector<std::string>* header;  // the template's Value names
  const std::vector<std::vector<parse::Field>>* records;
};

// The names of `header` that name no field of `schema` ("error" and
// "warning" for a write operation); empty when every one does.
std::vector<std::string> unknown_values(const RecordSchema& schema,
                                        const std::vector<std::string>& header);

// The typed records, in answer order. `defaults` gives a field's text where
// a record has none.
Json typed_records(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
                   const std::map<std::string, std::string, std::less<>>& defaults);

}  // namespace ov::reading
