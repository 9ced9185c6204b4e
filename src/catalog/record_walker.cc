#include "catalog/record_walker.h"

#include <unordered_map>
#include <utility>

#include "catalog/reading_messages.h"
#include "catalog/record_model.h"
#include "catalog/scalar_type.h"
#include "catalog/value_equality.h"

namespace ov {
namespace {

// Aliases may copy at most this much beyond four times the document itself
// (cost: nodes plus scalar bytes), which keeps a file of nested aliases
// from expanding exponentially while a small file may still reuse one block
// a dozen times.
constexpr std::uint64_t kExpansionAllowance = 65536;
constexpr std::uint64_t kExpansionFactor = 4;

constexpr std::string_view kStandardTagPrefix = "tag:yaml.org,2002:";

}  // namespace

Walker::PathScope::PathScope(std::string& path, std::string_view key)
    : path_(path), size_(path.size()) {
  if (!path_.empty()) path_ += '.';
  path_ += key;
}

Walker::PathScope::PathScope(std::string& path, std::size_t index)
    : path_(path), size_(path.size()) {
  path_ += '[';
  path_ += std::to_string(index);
  path_ += ']';
}

Walker::Walker(const NodeTree& tree)
    : tree_(tree), expansion_limit_(kExpansionFactor * tree.total_cost + kExpansionAllowance) {}

bool Walker::fail(YamlError error) {
  error_ = std::move(error);
  return false;
}

bool Walker::fail(const Node& where, std::string message) {
  return fail(YamlError::rule(std::move(message), path_.empty() ? "." : path_, where.mark));
}

bool Walker::fail_truncated() {
  // Only a stopped collection leaves a container without its end.
  return fail(tree_.stop ? *tree_.stop : YamlError::rule("unexpected end of document"));
}

const Node* Walker::resolve(std::uint32_t at) {
  if (at >= tree_.nodes.size()) {
    fail_truncated();
    return nullptr;
  }
  const Node& here = node(at);
  if (here.kind != NodeKind::Alias) return &here;
  expanded_ += tree_.subtree_cost(here.link);
  if (expanded_ > expansion_limit_) {
    fail(YamlError::rule(std::string(kRepetitionLimit)));
    return nullptr;
  }
  return &node(here.link);
}

bool Walker::enter(const Node& container) {
  if (depth_ >= kMaxDepth) {
    return fail(YamlError::rule(std::string(kRecursionLimit), std::nullopt, container.mark));
  }
  ++depth_;
  return true;
}

// text ::= any scalar, its content as the parser unquoted and folded it.
bool Walker::read(std::uint32_t at, std::string& out) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  if (n->kind != NodeKind::Scalar) {
    return fail(*n, invalid_type_message(*n, wanted_text(Wanted::String)));
  }
  out.assign(n->text);
  return true;
}

// flag ::= a plain (or !!bool) scalar true/True/TRUE/false/False/FALSE.
bool Walker::read(std::uint32_t at, bool& out) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  const bool may_be_bool =
      n->kind == NodeKind::Scalar && (n->style == ScalarStyle::Plain || n->tag == kBoolTag);
  if (may_be_bool && parse_bool_text(n->text, out)) return true;
  return fail(*n, invalid_type_message(*n, wanted_text(Wanted::Boolean)));
}

// command type ::= a scalar equal to one of the YAML names.
bool Walker::read(std::uint32_t at, CommandType& out) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  if (n->kind != NodeKind::Scalar) {
    return fail(*n, invalid_type_message(*n, wanted_text(Wanted::VariantIdentifier)));
  }
  const auto type = find_command_type(n->text);
  if (!type) return fail(*n, unknown_command_type_message(n->text));
  out = *type;
  return true;
}

// list ::= SEQUENCE-START element* SEQUENCE-END | empty plain scalar
template <class T>
bool Walker::read(std::uint32_t at, std::vector<T>& out) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  if (n->kind != NodeKind::Sequence) {
    if (is_empty_plain(*n)) return true;
    return fail(*n, invalid_type_message(*n, wanted_text(Wanted::Sequence)));
  }
  if (!enter(*n)) return false;
  out.reserve(n->link);
  std::uint32_t child = index_of(*n) + 1;
  for (std::size_t i = 0; child < n->end; ++i, child = node(child).end) {
    const PathScope step(path_, i);
    if (!read(child, out.emplace_back())) return false;
  }
  if (n->truncated) return fail_truncated();
  leave();
  return true;
}

// optional ::= plain null form (untagged or !!null) | the value itself
template <class T>
bool Walker::read(std::uint32_t at, std::optional<T>& out) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  if (is_absent_null(*n)) {
    out.reset();
    return true;
  }
  return read(index_of(*n), out.emplace());
}

// record ::= MAPPING-START (key value)* MAPPING-END | empty plain scalar
template <Record R>
bool Walker::read(std::uint32_t at, R& out) {
  using Model = RecordModel<R>;
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  std::uint32_t seen = 0;
  if (n->kind == NodeKind::Mapping) {
    if (!enter(*n) || !read_fields(*n, out, seen)) return false;
    leave();
  } else if (!is_empty_plain(*n)) {
    return fail(*n, invalid_type_message(*n, Model::kName));
  }
  for (std::size_t i = 0; i < Model::kFields.size(); ++i) {
    if (Model::kFields[i].presence == kRequired && (seen & (1U << i)) == 0) {
      return fail(*n, missing_field_message(Model::kFields[i].key));
    }
  }
  finish_record(out);
  return true;
}

// Each key is text matched exactly against the record's own keys; an own
// key reads its field, another key goes to `extra` or is skipped unread.
template <Record R>
bool Walker::read_fields(const Node& mapping, R& out, std::uint32_t& seen) {
  using Model = RecordModel<R>;
  static_assert(Model::kFields.size() <= 32);
  // Positions of `extra` keys by their text, kept only for large mappings.
  ExtraIndex extra_index;
  extra_index.enabled = mapping.link / 2 > kLinearSearchLimit;
  std::uint32_t key_at = index_of(mapping) + 1;
  while (key_at < mapping.end) {
    const Node* key = resolve(key_at);
    if (key == nullptr) return false;
    if (key->kind != NodeKind::Scalar) {
      return fail(*key, invalid_type_message(*key, wanted_text(Wanted::FieldIdentifier)));
    }
    const std::uint32_t value_at = node(key_at).end;
    if (value_at >= mapping.end) return fail_truncated();
    std::size_t i = 0;
    while (i < Model::kFields.size() && Model::kFields[i].key != key->text) ++i;
    if (i < Model::kFields.size()) {
      if ((seen & (1U << i)) != 0) return fail(mapping, duplicate_field_message(key->text));
      seen |= 1U << i;
      const PathScope step(path_, key->text);
      if (!Model::kFields[i].read(*this, value_at, out)) return false;
    } else if constexpr (Model::kExtra != nullptr) {
      YamlValue value;
      if (!read_value(value_at, value, mapping)) return false;
      put_extra(out.*Model::kExtra, key->text, std::move(value), extra_index);
    }
    key_at = node(value_at).end;
  }
  if (mapping.truncated) return fail_truncated();
  return true;
}

void Walker::put_extra(ExtraMap& extra, std::string_view key, YamlValue value, ExtraIndex& index) {
  if (index.enabled) {
    const auto [it, added] = index.positions.try_emplace(key, extra.size());
    if (!added) {
      extra[it->second].second = std::move(value);
      return;
    }
  } else {
    for (auto& [name, held] : extra) {
      if (name == key) {
        held = std::move(value);
        return;
      }
    }
  }
  extra.emplace_back(std::string(key), std::move(value));
}

// value ::= scalar (typed) | sequence of values | mapping of values, each
// optionally under a non-standard tag, which wraps it.
bool Walker::read_value(std::uint32_t at, YamlValue& out, const Node& holder) {
  const Node* n = resolve(at);
  if (n == nullptr) return false;
  YamlValue* target = &out;
  const bool custom_tag = !n->tag.empty() && !n->tag.starts_with(kStandardTagPrefix);
  if (custom_tag) {
    out.kind = YamlValue::Kind::Tagged;
    out.text.assign(n->tag);
    target = &out.items.emplace_back();
  }
  switch (n->kind) {
    case NodeKind::Scalar:
    case NodeKind::Alias: {
      const ScalarValue typed = type_scalar(*n);
      constexpr YamlValue::Kind kKinds[] = {YamlValue::Kind::Null, YamlValue::Kind::Bool,
                                            YamlValue::Kind::Int, YamlValue::Kind::Float,
                                            YamlValue::Kind::String};
      target->kind = kKinds[static_cast<std::size_t>(typed.kind)];
      target->boolean = typed.boolean;
      target->integer = typed.integer;
      target->real = typed.real;
      if (typed.kind != ScalarValue::Kind::Null && typed.kind != ScalarValue::Kind::Bool) {
        target->text.assign(n->text);
      }
      return true;
    }
    case NodeKind::Sequence: {
      if (!enter(*n)) return false;
      target->kind = YamlValue::Kind::Sequence;
      target->items.reserve(n->link);
      for (std::uint32_t child = index_of(*n) + 1; child < n->end; child = node(child).end) {
        if (!read_value(child, target->items.emplace_back(), holder)) return false;
      }
      if (n->truncated) return fail_truncated();
      leave();
      return true;
    }
    case NodeKind::Mapping:
      if (!enter(*n) || !read_mapping_value(*n, *target, holder)) return false;
      leave();
      return true;
  }
  return true;
}

// Keys may be any value; a repeated key is refused before its value is read.
bool Walker::read_mapping_value(const Node& mapping, YamlValue& out, const Node& holder) {
  out.kind = YamlValue::Kind::Mapping;
  out.items.reserve(mapping.link);
  std::unordered_multimap<std::size_t, std::size_t> index;
  const bool hashed = mapping.link / 2 > kLinearSearchLimit;
  std::uint32_t key_at = index_of(mapping) + 1;
  while (key_at < mapping.end) {
    YamlValue key;
    if (!read_value(key_at, key, holder)) return false;
    const std::size_t hash = hashed ? hash_value(key) : 0;
    bool repeated = false;
    if (hashed) {
      const auto [first, last] = index.equal_range(hash);
      for (auto it = first; it != last && !repeated; ++it) {
        repeated = values_equal(out.items[it->second], key);
      }
    } else {
      for (std::size_t i = 0; i < out.items.size() && !repeated; i += 2) {
        repeated = values_equal(out.items[i], key);
      }
    }
    if (repeated) return fail(holder, duplicate_entry_message(key));
    const std::uint32_t value_at = node(key_at).end;
    if (value_at >= mapping.end) return fail_truncated();
    if (hashed) index.emplace(hash, out.items.size());
    out.items.push_back(std::move(key));
    if (!read_value(value_at, out.items.emplace_back(), holder)) return false;
    key_at = node(value_at).end;
  }
  if (mapping.truncated) return fail_truncated();
  return true;
}

std::expected<VendorFile, YamlError> read_vendor_file(const NodeTree& tree) {
  Walker walker(tree);
  VendorFile file;
  if (!walker.read(0, file)) return std::unexpected(walker.take_error());
  return file;
}

}  // namespace ov
