#include "check/node_locator.h"

#include "catalog/node_collector.h"
#include "catalog/yaml_parser.h"

namespace ov::check {

NodeLocator::NodeLocator(std::string_view text) {
  YamlParser parser(text);
  tree_ = collect_first_document(parser, text.size());
}

std::uint32_t NodeLocator::resolve(std::uint32_t at) const {
  // An alias never names a node after itself, so this ends.
  while (tree_.nodes[at].kind == NodeKind::Alias && tree_.nodes[at].link < at) {
    at = tree_.nodes[at].link;
  }
  return at;
}

std::optional<std::uint32_t> NodeLocator::child(std::uint32_t at, const PathStep& step) const {
  const Node& parent = tree_.nodes[at];
  const std::uint32_t end = parent.end;
  if (const auto* key = std::get_if<std::string_view>(&step)) {
    if (parent.kind != NodeKind::Mapping) return std::nullopt;
    for (std::uint32_t k = at + 1; k < end;) {
      const std::uint32_t value = tree_.nodes[k].end;
      if (value >= end) return std::nullopt;
      const Node& name = tree_.nodes[resolve(k)];
      // The reader refuses a repeated own key, so the first match is the one.
      if (name.kind == NodeKind::Scalar && name.text == *key) return value;
      k = tree_.nodes[value].end;
    }
    return std::nullopt;
  }
  if (parent.kind != NodeKind::Sequence) return std::nullopt;
  std::size_t index = 0;
  for (std::uint32_t e = at + 1; e < end; e = tree_.nodes[e].end, ++index) {
    if (index == std::get<std::size_t>(step)) return e;
  }
  return std::nullopt;
}

std::optional<Mark> NodeLocator::find(std::span<const PathStep> path) const {
  if (tree_.nodes.empty()) return std::nullopt;
  std::uint32_t at = 0;
  for (const PathStep& step : path) {
    const auto next = child(resolve(at), step);
    if (!next) return std::nullopt;
    at = *next;
  }
  // An alias stands for its anchored node, but the author wrote it here.
  return tree_.nodes[at].mark;
}

}  // namespace ov::check
