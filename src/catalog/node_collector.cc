#include "catalog/node_collector.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "catalog/reading_messages.h"

namespace ov {
namespace {

// stream   ::= STREAM-START document? ...
// document ::= DOCUMENT-START node DOCUMENT-END
// node     ::= ALIAS | SCALAR | SEQUENCE-START node* SEQUENCE-END
//            | MAPPING-START (node node)* MAPPING-END
// Nesting is followed with an explicit stack of open containers, so depth
// costs heap, never native stack.
//
// Values that no record reads may nest deeper than the readers allow, but not
// without end: libyaml's time grows with the square of the nesting, and a
// file of a million brackets would hold the interpreter for many minutes.
constexpr std::size_t kMaxCollectedDepth = 1024;

class Collector {
 public:
  Collector(YamlParser& parser, std::size_t size_hint) : parser_(parser) {
    // Vendor files hold roughly one node per 40 bytes of text, and their
    // scalars, anchors and tags together are shorter than the text.
    tree_.nodes.reserve(size_hint / 40 + 8);
    tree_.texts.reserve(size_hint + 64);
  }

  NodeTree run() {
    for (;;) {
      YamlEvent event;
      if (!parser_.next(event)) return stop(parser_.error());
      const yaml_event_t& e = event.get();
      switch (e.type) {
        case YAML_STREAM_START_EVENT:
        case YAML_DOCUMENT_START_EVENT:
        case YAML_NO_EVENT:
          break;
        case YAML_DOCUMENT_END_EVENT:
          return std::move(tree_);
        case YAML_STREAM_END_EVENT:
          tree_.stream_ended = true;
          add(NodeKind::Scalar, e.start_mark, nullptr);
          return std::move(tree_);
        case YAML_SCALAR_EVENT: {
          Node& node = add(NodeKind::Scalar, e.start_mark, e.data.scalar.anchor);
          node.style = style_of(e.data.scalar.style);
          node.text = tree_.texts.keep(std::string_view(
              reinterpret_cast<const char*>(e.data.scalar.value), e.data.scalar.length));
          node.tag = keep(e.data.scalar.tag);
          tree_.total_cost += node.text.size();
          break;
        }
        case YAML_SEQUENCE_START_EVENT:
          if (open_.size() >= kMaxCollectedDepth) return stop(too_deep(e.start_mark));
          open(NodeKind::Sequence, e.start_mark, e.data.sequence_start.anchor,
               e.data.sequence_start.tag);
          break;
        case YAML_MAPPING_START_EVENT:
          if (open_.size() >= kMaxCollectedDepth) return stop(too_deep(e.start_mark));
          open(NodeKind::Mapping, e.start_mark, e.data.mapping_start.anchor,
               e.data.mapping_start.tag);
          break;
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT:
          tree_.nodes[open_.back()].end = static_cast<std::uint32_t>(tree_.nodes.size());
          open_.pop_back();
          break;
        case YAML_ALIAS_EVENT: {
          const auto found = anchors_.find(view(e.data.alias.anchor));
          if (found == anchors_.end()) {
            return stop(YamlError::rule("unknown anchor", std::nullopt, mark_of(e.start_mark)));
          }
          add(NodeKind::Alias, e.start_mark, nullptr).link = found->second;
          break;
        }
      }
    }
  }

 private:
  static std::string_view view(const yaml_char_t* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
  }

  static Mark mark_of(const yaml_mark_t& mark) { return Mark{mark.index, mark.line, mark.column}; }

  static YamlError too_deep(const yaml_mark_t& mark) {
    return YamlError::rule(std::string(kRecursionLimit), std::nullopt, mark_of(mark));
  }

  static ScalarStyle style_of(yaml_scalar_style_t style) {
    switch (style) {
      case YAML_SINGLE_QUOTED_SCALAR_STYLE:
        return ScalarStyle::SingleQuoted;
      case YAML_DOUBLE_QUOTED_SCALAR_STYLE:
        return ScalarStyle::DoubleQuoted;
      case YAML_LITERAL_SCALAR_STYLE:
        return ScalarStyle::Literal;
      case YAML_FOLDED_SCALAR_STYLE:
        return ScalarStyle::Folded;
      default:
        return ScalarStyle::Plain;
    }
  }

  // A copy of an event's text that lives as long as the tree.
  std::string_view keep(const yaml_char_t* text) {
    return text == nullptr ? std::string_view() : tree_.texts.keep(view(text));
  }

  // Appends a node as the next child of the innermost open container. An
  // anchor names the node from its start on, and a later anchor of the same
  // name takes over.
  Node& add(NodeKind kind, const yaml_mark_t& mark, const yaml_char_t* anchor) {
    const auto index = static_cast<std::uint32_t>(tree_.nodes.size());
    if (!open_.empty()) ++tree_.nodes[open_.back()].link;
    if (anchor != nullptr) {
      const std::string_view name = view(anchor);
      if (auto found = anchors_.find(name); found != anchors_.end()) {
        found->second = index;
      } else {
        anchors_.emplace(keep(anchor), index);
      }
    }
    Node& node = tree_.nodes.emplace_back();
    node.kind = kind;
    node.mark = mark_of(mark);
    node.end = index + 1;
    node.cost_before = tree_.total_cost;
    tree_.total_cost += 1;
    return node;
  }

  void open(NodeKind kind, const yaml_mark_t& mark, const yaml_char_t* anchor,
            const yaml_char_t* tag) {
    Node& node = add(kind, mark, anchor);
    node.tag = keep(tag);
    open_.push_back(static_cast<std::uint32_t>(tree_.nodes.size() - 1));
  }

  NodeTree stop(YamlError error) {
    const auto size = static_cast<std::uint32_t>(tree_.nodes.size());
    for (const std::uint32_t index : open_) {
      tree_.nodes[index].end = size;
      tree_.nodes[index].truncated = true;
    }
    tree_.stop = std::move(error);
    return std::move(tree_);
  }

  YamlParser& parser_;
  NodeTree tree_;
  std::vector<std::uint32_t> open_;
  std::unordered_map<std::string_view, std::uint32_t> anchors_;
};

}  // namespace

NodeTree collect_first_document(YamlParser& parser, std::size_t size_hint) {
  return Collector(parser, size_hint).run();
}

bool has_further_document(YamlParser& parser) {
  YamlEvent event;
  if (!parser.next(event)) return true;
  return event.type() != YAML_STREAM_END_EVENT;
}

}  // namespace ov
