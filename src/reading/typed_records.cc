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
    std::vector<std::string> operator()(const std::string& text) const { return {text}; }
    std::vector<std::string> operator()(const std::vector<std::string>& items) const {
      return items;
    }
    std::vector<std::string> operator()(const std::vector<parse::ListItem>& items) const {
      std::vector<std::string> out;
      for (const parse::ListItem& item : items) {
        if (const auto* text = std::get_if<std::string>(&item)) out.push_back(*text);
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

// A record by field, in raw texts: each field's texts, and for a list of
// records its items, each the texts of its subfields. Raw records merge in
// this form, before anything is typed, so that a default fills only a field
// that no raw record printed.
struct RawRecord {
  std::vector<std::vector<std::string>> texts;
  std::vector<std::vector<std::vector<std::vector<std::string>>>> items;
  bool top_level_blank = true;
};

RawRecord empty_record(const RecordSchema& schema) {
  RawRecord raw;
  raw.texts.resize(schema.fields.size());
  raw.items.resize(schema.fields.size());
  return raw;
}

RawRecord raw_record(const RecordSchema& schema, const std::vector<std::optional<Slot>>& slots,
                     const std::vector<parse::Field>& values) {
  RawRecord raw = empty_record(schema);
  std::vector<std::vector<std::vector<std::string>>> item(schema.fields.size());
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
    item[f].resize(schema.fields[f].fields.size());
  }
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
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
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

// The typed record. A list the templates have no Value for was not printed:
// null; one they read but found empty: an empty list.
Json typed_record(const RecordSchema& schema, RawRecord raw, const std::vector<bool>& read,
                  const std::map<std::string, std::string, std::less<>>& defaults) {
  Json record = Json::object();
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
    const FieldSpec& field = schema.fields[f];
    const std::string name(field.name);
    if (blank(raw.texts[f])) {
      if (const auto fallback = defaults.find(name); fallback != defaults.end()) {
        raw.texts[f] = {fallback->second};
      }
    }
    if (field.kind != FieldKind::Records) {
      const bool unread_list = is_list(field.kind) && field.kind != FieldKind::Vlans && !read[f];
      record[name] = unread_list ? Json(nullptr) : typed_value(field, raw.texts[f]);
      continue;
    }
    if (!read[f]) {
      record[name] = nullptr;
      continue;
    }
    Json items = Json::array();
    for (const auto& item : raw.items[f]) {
      Json object = Json::object();
      for (std::size_t s = 0; s < field.fields.size(); ++s) {
        object[std::string(field.fields[s].name)] = typed_value(field.fields[s], item[s]);
      }
      items.push_back(std::move(object));
    }
    record[name] = std::move(items);
  }
  return record;
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
  return Json::array({Json{{"ok", errors.empty()}, {"messages", std::move(messages)}}});
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

Json typed_records(const RecordSchema& schema, const std::vector<RawAnswer>& answers,
                   const std::map<std::string, std::string, std::less<>>& defaults) {
  if (schema.write) return write_result(answers);
  const auto key = key_field(schema);
  std::vector<RawRecord> records;
  std::size_t raw_count = 0;
  for (const RawAnswer& answer : answers) raw_count += answer.records->size();
  records.reserve(raw_count);
  std::vector<bool> read(schema.fields.size(), false);
  std::unordered_map<std::string, std::size_t> by_key;
  for (const RawAnswer& answer : answers) {
    std::vector<std::optional<Slot>> slots;
    for (const std::string& name : *answer.header) {
      slots.push_back(slot_of(schema, name));
      if (slots.back()) read[slots.back()->field] = true;
    }
    for (const auto& values : *answer.records) {
      RawRecord raw = raw_record(schema, slots, values);
      if (schema.one && !records.empty()) {
        merge(schema, records[0], std::move(raw));
        continue;
      }
      // A row that names nothing of its own continues the record before it.
      if (raw.top_level_blank && !records.empty()) {
        merge(schema, records.back(), std::move(raw));
        continue;
      }
      if (key) {
        const std::string id = key_text(raw, *key);
        if (const auto known = by_key.find(id); known != by_key.end() && !id.empty()) {
          merge(schema, records[known->second], std::move(raw));
          continue;
        }
        by_key.emplace(id, records.size());
      }
      records.push_back(std::move(raw));
    }
  }
  Json typed = Json::array();
  typed.get_ref<Json::array_t&>().reserve(records.size());
  for (RawRecord& record : records) {
    typed.push_back(typed_record(schema, std::move(record), read, defaults));
  }
  return typed;
}

}  // namespace ov::reading
