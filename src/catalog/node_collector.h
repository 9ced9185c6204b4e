// Pulls the events of the first YAML document into a NodeTree.
#pragma once

#include <cstddef>

#include "catalog/node_tree.h"
#include "catalog/yaml_parser.h"

namespace ov {

// Collects the first document of `parser`, up to its end, a syntax error or
// an alias to an unknown anchor (then `stop` is set). A text without any
// document yields one empty plain scalar at the end of the text.
// `size_hint` is the text's length, used to reserve storage once.
NodeTree collect_first_document(YamlParser& parser, std::size_t size_hint);

// After a fully collected first document: returns true iff the text goes on
// with a further document (or with text the parser cannot read as one).
bool has_further_document(YamlParser& parser);

}  // namespace ov
