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
#include "reading/json_writer.h"
#include "reading/record_schema.h"

namespace ov::reading {

// What one template gave for one answer.
struct RawAnswer {
  const std::vector<std::string>* header;  // the template's Value names
  const parse::Records* records;
};

// The names of `header` that name no field of `schema` ("error" and
// "warning" for a write operation); empty when every one does.
std::vector<std::string> unknown_values(const RecordSchema& schema,
                                        const std::vector<std::string>& header);

using Defaults = std::map<std::string, std::string, std::less<>>;

// A record by field, in raw texts: each field's texts, and for a list of
// records its items, each the texts of its subfields. Raw records merge in
// this form, before anything is typed, so that a default fills only a field
// that no raw record printed.
struct RawRecord {
  std::vector<std::vector<std::string>> texts;
  std::vector<std::vector<std::vector<std::vector<std::string>>>> items;
  bool top_level_blank = true;
};

// The typed records of some answers, in answer order, read and merged at
// once but typed only as they are given out, so that a hundred thousand of
// them can be written without a tree of them all.
class TypedRecords {
 public:
  // What a command type adds to each of its typed records (VERSION its firmware).
  using Finish = void (*)(Json& record);

  TypedRecords() = default;  // none
  // `defaults` gives a field's text where a record has none.
  TypedRecords(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
               const Defaults& defaults, Finish finish = nullptr);

  std::size_t size() const { return schema_ != nullptr && schema_->write ? ready_.size() : raw_.size(); }

  // The records as an array of objects keyed by field, in the schema's order.
  Json json() const;

  // The same array, as json_text(json()) prints it.
  void write_json(JsonWriter& out) const;

 private:
  Json record(const RawRecord& raw) const;
  // The typed value of field `f` of `raw`.
  Json field_value(const RawRecord& raw, std::size_t f) const;

  const RecordSchema* schema_ = nullptr;
  std::vector<RawRecord> raw_;
  std::vector<Json> ready_;  // a write operation's one record
  std::vector<bool> read_;   // the fields some template has a Value for
  Defaults defaults_;
  Finish finish_ = nullptr;
};

// The typed records at once, as TypedRecords(...).json().
Json typed_records(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
                   const Defaults& defaults);

}  // namespace ov::reading
