#include "reading/typed_records.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "base/utf8.h"
#include "reading/typed_value.h"

namespace ov::reading {
namespace {

constexpr std::string_view kSub = "__";
constexpr std::string_view kMinutes = "minutes";
constexpr std::string_view kError = "error";
constexpr std::string_view kWarning = "warning";

// Where a template's Value goes: a field, a subfield of a list of records, or
// a duration in minutes.
struct Slot {
  std::size_t field;
  std::optional<std::size_t> sub;
  bool minutes = false;
};

std::optional<std::size_t> field_index(std::span<const FieldSpec> fields, std::string_view name) {
  const auto found = std::ranges::find(fields, name, &FieldSpec::name);
  if (found == fields.end()) return std::nullopt;
  return static_cast<std::size_t>(found - fields.begin());
}

std::optional<Slot> slot_of(const RecordSchema& schema, std::string_view name) {
  const std::size_t cut = name.find(kSub);
  const auto field = field_index(schema.fields, name.substr(0, cut));
  if (!field) return std::nullopt;
  const FieldSpec& declared = schema.fields[*field];
  if (cut == std::string_view::npos) {
    if (declared.kind == FieldKind::Records) return std::nullopt;
    return Slot{*field, std::nullopt};
  }
  const std::string_view rest = name.substr(cut + kSub.size());
  if (declared.kind == FieldKind::Seconds && rest == kMinutes) return Slot{*field, std::nullopt, true};
  if (declared.kind != FieldKind::Records) return std::nullopt;
  const auto sub = field_index(declared.fields, rest);
  if (!sub || declared.fields[*sub].kind == FieldKind::Records) return std::nullopt;
  return Slot{*field, sub};
}

// A Value's texts: the text, or a List's items.
std::vector<std::string> texts_of(const parse::Field& value) {
  struct Texts {
    std::vector<std::string> operator()(std::string_view text) const { return {std::string(text)}; }
    std::vector<std::string> operator()(const std::vector<std::string_view>& items) const {
      return {items.begin(), items.end()};
    }
    std::vector<std::string> operator()(const std::vector<parse::ListItem>& items) const {
      std::vector<std::string> out;
      for (const parse::ListItem& item : items) {
        if (const auto* text = std::get_if<std::string_view>(&item)) out.emplace_back(*text);
      }
      return out;
    }
  };
  return std::visit(Texts{}, value);
}

bool blank(const std::vector<std::string>& texts) {
  return std::ranges::all_of(texts, [](const std::string& t) {
    return t.find_first_not_of(" \t\r\n") == std::string::npos;
  });
}

bool has_lists_of_records(const RecordSchema& schema) {
  return std::ranges::any_of(schema.fields, [](const FieldSpec& f) { return f.kind == FieldKind::Records; });
}

// Items only where the schema has lists of records: a large table of plain
// records then takes no memory for them.
RawRecord empty_record(const RecordSchema& schema) {
  RawRecord raw;
  raw.texts.resize(schema.fields.size());
  if (has_lists_of_records(schema)) raw.items.resize(schema.fields.size());
  return raw;
}

RawRecord raw_record(const RecordSchema& schema, const std::vector<std::optional<Slot>>& slots,
                     parse::Records::Row values) {
  RawRecord raw = empty_record(schema);
  std::vector<std::vector<std::vector<std::string>>> item(raw.items.size());
  for (std::size_t f = 0; f < item.size(); ++f) item[f].resize(schema.fields[f].fields.size());
  for (std::size_t v = 0; v < values.size() && v < slots.size(); ++v) {
    if (!slots[v]) continue;
    std::vector<std::string> texts = texts_of(values[v]);
    if (blank(texts)) continue;
    const Slot& slot = *slots[v];
    if (slot.sub) {
      item[slot.field][*slot.sub] = std::move(texts);
      continue;
    }
    if (slot.minutes) {
      for (std::string& text : texts) {
        const auto minutes = duration_seconds(text);
        text = minutes ? std::to_string(*minutes * 60) : std::string();
      }
    }
    raw.texts[slot.field] = std::move(texts);
    raw.top_level_blank = false;
  }
  for (std::size_t f = 0; f < item.size(); ++f) {
    // An item whose subfields are all blank is no item: an aggregate without members.
    if (!item[f].empty() && !std::ranges::all_of(item[f], blank)) {
      raw.items[f].push_back(std::move(item[f]));
    }
  }
  return raw;
}

bool is_list(FieldKind kind) {
  return kind == FieldKind::Texts || kind == FieldKind::Caps || kind == FieldKind::Prefixes ||
         kind == FieldKind::Vlans || kind == FieldKind::Records;
}

// `more` into `record`: its texts where the record has none, its list items
// after the record's.
void merge(const RecordSchema& schema, RawRecord& record, RawRecord more) {
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
    auto& mine = record.texts[f];
    auto& theirs = more.texts[f];
    if (is_list(schema.fields[f].kind)) {
      for (std::string& text : theirs) mine.push_back(std::move(text));
    } else if (blank(mine)) {
      mine = std::move(theirs);
    }
    if (more.items.empty()) continue;
    for (auto& item : more.items[f]) record.items[f].push_back(std::move(item));
  }
}

std::optional<std::size_t> key_field(const RecordSchema& schema) {
  const auto key = std::ranges::find_if(schema.fields, &FieldSpec::key);
  if (key == schema.fields.end()) return std::nullopt;
  return static_cast<std::size_t>(key - schema.fields.begin());
}

// The key's text as a merge compares it: trimmed.
std::string key_text(const RawRecord& raw, std::size_t key) {
  std::string text;
  for (const std::string& part : raw.texts[key]) text += trim_white_space(part);
  return text;
}

Json write_result(const std::vector<RawAnswer>& answers) {
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  for (const RawAnswer& answer : answers) {
    for (const auto& values : *answer.records) {
      for (std::size_t v = 0; v < values.size() && v < answer.header->size(); ++v) {
        const std::string& name = (*answer.header)[v];
        auto& into = name == kError ? errors : warnings;
        if (name != kError && name != kWarning) continue;
        for (std::string& text : texts_of(values[v])) {
          if (!blank({text})) into.push_back(std::move(text));
        }
      }
    }
  }
  Json messages = errors;
  for (std::string& warning : warnings) messages.push_back(std::move(warning));
  return Json{{"ok", errors.empty()}, {"messages", std::move(messages)}};
}

}  // namespace

std::vector<std::string> unknown_values(const RecordSchema& schema,
                                        const std::vector<std::string>& header) {
  std::vector<std::string> unknown;
  for (const std::string& name : header) {
    const bool known = schema.write ? (name == kError || name == kWarning)
                                    : slot_of(schema, name).has_value();
    if (!known) unknown.push_back(name);
  }
  return unknown;
}

TypedRecords::TypedRecords(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
                           const Defaults& defaults, Finish finish)
    : schema_(&schema), read_(schema.fields.size(), false), defaults_(defaults), finish_(finish) {
  if (schema.write) {
    ready_.push_back(write_result(answers));
    return;
  }
  const auto key = key_field(schema);
  std::size_t raw_count = 0;
  for (const RawAnswer& answer : answers) raw_count += answer.records->size();
  raw_.reserve(raw_count);
  std::unordered_map<std::string, std::size_t> by_key;
  if (key) by_key.reserve(raw_count);
  for (const RawAnswer& answer : answers) {
    std::vector<std::optional<Slot>> slots;
    for (const std::string& name : *answer.header) {
      slots.push_back(slot_of(schema, name));
      if (slots.back()) read_[slots.back()->field] = true;
    }
    for (const auto& values : *answer.records) {
      RawRecord raw = raw_record(schema, slots, values);
      if (schema.one && !raw_.empty()) {
        merge(schema, raw_[0], std::move(raw));
        continue;
      }
      // A row that names nothing of its own continues the record before it.
      if (raw.top_level_blank && !raw_.empty()) {
        merge(schema, raw_.back(), std::move(raw));
        continue;
      }
      if (key) {
        const std::string id = key_text(raw, *key);
        if (const auto known = by_key.find(id); known != by_key.end() && !id.empty()) {
          merge(schema, raw_[known->second], std::move(raw));
          continue;
        }
        by_key.emplace(id, raw_.size());
      }
      raw_.push_back(std::move(raw));
    }
  }
}

// A list the templates have no Value for was not printed: null; one they
// read but found empty: an empty list.
Json TypedRecords::field_value(const RawRecord& raw, std::size_t f) const {
  const FieldSpec& field = schema_->fields[f];
  const std::vector<std::string>* texts = &raw.texts[f];
  std::vector<std::string> fallback_texts;
  if (blank(*texts)) {
    if (const auto fallback = defaults_.find(field.name); fallback != defaults_.end()) {
      fallback_texts = {fallback->second};
      texts = &fallback_texts;
    }
  }
  if (field.kind != FieldKind::Records) {
    const bool unread_list = is_list(field.kind) && field.kind != FieldKind::Vlans && !read_[f];
    return unread_list ? Json(nullptr) : typed_value(field, *texts);
  }
  if (!read_[f]) return nullptr;
  Json items = Json::array();
  for (const auto& item : raw.items[f]) {
    Json object = Json::object();
    for (std::size_t s = 0; s < field.fields.size(); ++s) {
      object[std::string(field.fields[s].name)] = typed_value(field.fields[s], item[s]);
    }
    items.push_back(std::move(object));
  }
  return items;
}

Json TypedRecords::record(const RawRecord& raw) const {
  Json record = Json::object();
  for (std::size_t f = 0; f < schema_->fields.size(); ++f) {
    record[std::string(schema_->fields[f].name)] = field_value(raw, f);
  }
  if (finish_ != nullptr) finish_(record);
  return record;
}

Json TypedRecords::json() const {
  if (schema_ != nullptr && schema_->write) return ready_;
  Json typed = Json::array();
  typed.get_ref<Json::array_t&>().reserve(raw_.size());
  for (const RawRecord& raw : raw_) typed.push_back(record(raw));
  return typed;
}

void TypedRecords::write_json(JsonWriter& out) const {
  if (schema_ != nullptr && schema_->write) return out.value(ready_);
  out.begin_array();
  for (const RawRecord& raw : raw_) {
    // A finish step needs the record whole; the others go field by field.
    if (finish_ != nullptr) {
      out.value(record(raw));
      continue;
    }
    out.begin_object();
    for (std::size_t f = 0; f < schema_->fields.size(); ++f) {
      out.key(schema_->fields[f].name);
      out.value(field_value(raw, f));
    }
    out.end_object();
  }
  out.end_array();
}

Json typed_records(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
                   const Defaults& defaults) {
  return TypedRecords(schema, answers, defaults).json();
}

}  // namespace ov::reading
