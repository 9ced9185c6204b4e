// libFuzzer target for the vendor-file reader. Each input is read as one
// YAML vendor file, and the promises that hold for every text are checked;
// any broken promise aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "catalog/loader.h"
#include "catalog/reading_messages.h"
#include "catalog/version_range.h"
#include "fuzz_support.h"

using ov::fuzz::require;

namespace {

// A digest of everything a loaded file holds, in model order, so two reads
// can be compared without an equality operator on every record.
class Digest {
 public:
  void number(std::uint64_t value) {
    hash_ ^= value;
    hash_ *= 0x100000001b3ULL;
  }
  void text(std::string_view text) {
    // Every text is UTF-8 inside the module.
    require(ov::is_valid_utf8(text));
    number(text.size());
    for (const char c : text) number(static_cast<unsigned char>(c));
  }
  void maybe(const std::optional<std::string>& text) {
    number(text.has_value());
    if (text) this->text(*text);
  }
  void value(const ov::YamlValue& value) {
    number(static_cast<std::uint64_t>(value.kind));
    number(value.boolean);
    number(static_cast<std::uint64_t>(value.integer));
    text(value.text);
    number(value.items.size());
    for (const auto& item : value.items) this->value(item);
  }
  // Keys kept in `extra` are unique and never one of the record's own keys.
  void extra(const ov::ExtraMap& extra, std::initializer_list<std::string_view> own) {
    number(extra.size());
    for (std::size_t i = 0; i < extra.size(); ++i) {
      const std::string& key = extra[i].first;
      require(std::find(own.begin(), own.end(), key) == own.end());
      for (std::size_t k = 0; k < i; ++k) require(extra[k].first != key);
      text(key);
      value(extra[i].second);
    }
  }
  std::uint64_t result() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

void add(Digest& d, const std::optional<ov::ProtocolCapability>& cap) {
  d.number(cap.has_value());
  if (!cap) return;
  d.maybe(cap->introduced_in);
  d.maybe(cap->notes);
  d.extra(cap->extra, {"introduced_in", "notes"});
}

void add(Digest& d, const ov::ProtocolAlternatives& alt) {
  d.number(alt.netconf.has_value());
  if (alt.netconf) {
    d.text(alt.netconf->yang_model);
    d.text(alt.netconf->data_path);
    d.maybe(alt.netconf->firmware_required);
  }
  d.number(alt.restconf.has_value());
  if (alt.restconf) {
    d.text(alt.restconf->url_path);
    d.maybe(alt.restconf->firmware_required);
  }
  d.number(alt.gnmi.has_value());
  if (alt.gnmi) {
    d.text(alt.gnmi->path);
    d.maybe(alt.gnmi->firmware_required);
  }
  d.number(alt.eapi.has_value());
  if (alt.eapi) {
    d.text(alt.eapi->method);
    d.maybe(alt.eapi->cli);
    d.number(alt.eapi->commands.has_value());
    if (alt.eapi->commands) {
      d.number(alt.eapi->commands->size());
      for (const auto& text : *alt.eapi->commands) d.text(text);
    }
    d.maybe(alt.eapi->format);
    d.maybe(alt.eapi->firmware_required);
  }
  d.number(alt.rest_api.has_value());
  if (alt.rest_api) {
    d.text(alt.rest_api->method);
    d.text(alt.rest_api->path);
    d.maybe(alt.rest_api->firmware_required);
    d.extra(alt.rest_api->extra, {"method", "path", "firmware_required"});
  }
  d.number(alt.snmp.has_value());
  if (alt.snmp) {
    d.text(alt.snmp->oid);
    d.maybe(alt.snmp->version);
  }
  d.number(alt.dashboard_api.has_value());
  if (alt.dashboard_api) {
    d.text(alt.dashboard_api->endpoint);
    d.extra(alt.dashboard_api->extra, {"endpoint"});
  }
}

void add(Digest& d, const ov::CommandEntry& entry) {
  d.text(entry.applies_to);
  d.text(entry.cli);
  d.maybe(entry.sample_output);
  d.maybe(entry.parser_notes);
  d.maybe(entry.config_required);
  d.maybe(entry.notes);
  d.number(entry.unverified);
  // The range kept with the entry is the one its text parses to, or its error.
  const auto again = ov::VersionRange::parse(entry.applies_to);
  require(entry.range.has_value() == again.has_value());
  if (entry.range) {
    require(entry.range->raw == entry.applies_to);
    require(entry.range->specificity() == again->specificity());
  } else {
    require(entry.range.error().message() == again.error().message());
  }
}

std::uint64_t digest(const ov::VendorFile& file) {
  Digest d;
  d.text(file.vendor);
  d.text(file.display_name);
  d.text(file.manufacturer);
  d.text(file.product_family);
  d.maybe(file.notes);
  d.number(file.sources.size());
  for (const auto& source : file.sources) {
    d.text(source.title);
    d.text(source.url);
    d.text(source.accessed);
  }
  const auto& caps = file.protocol_capabilities;
  for (const auto* cap : {&caps.netconf, &caps.restconf, &caps.gnmi, &caps.rest_api, &caps.snmp,
                          &caps.dashboard_api}) {
    add(d, *cap);
  }
  d.number(file.commands.size());
  for (const auto& block : file.commands) {
    // Only the 25 named operations can come out of a file.
    require(ov::ordinal(block.type) < ov::kCommandTypeCount);
    require(ov::find_command_type(ov::yaml_name(block.type)) == block.type);
    d.number(ov::ordinal(block.type));
    d.maybe(block.description);
    d.number(block.versions.size());
    for (const auto& entry : block.versions) add(d, entry);
    add(d, block.protocol_alternatives);
  }
  // The lookup's view of the file agrees with the list.
  for (const auto& block : file.commands) {
    const ov::CommandBlock* first = file.first_block(block.type);
    require(first != nullptr && first <= &block && first->type == block.type);
  }
  return d.result();
}

// Characters and line breaks as libyaml counts them: a mark's index counts
// characters, and "\r\n", "\r", "\n", NEL, LS and PS each end a line.
struct TextShape {
  std::size_t characters = 0;
  std::size_t breaks = 0;
};

TextShape shape_of(std::string_view text) {
  TextShape shape;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) ++shape.characters;
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++shape.breaks;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x85) {
      ++shape.breaks;
    }
    if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
        (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xA8) {
      ++shape.breaks;
    }
  }
  return shape;
}

// A mark lies within the text. At the end of a text without a final line
// break libyaml closes the line, hence one line more than there are breaks.
void check_mark(const ov::Mark& mark, const TextShape& shape) {
  require(mark.index <= shape.characters);
  require(mark.line <= shape.breaks + 1);
  require(mark.column <= mark.index);
  if (mark.line == 0) require(mark.column == mark.index);
}

std::string position_text(const ov::Mark& mark) {
  return " at line " + std::to_string(mark.line + 1) + " column " + std::to_string(mark.column + 1);
}

void check_rejection(const ov::YamlError& error, std::string_view text) {
  const std::string rendered = error.render();
  require(!rendered.empty());
  require(!error.message.empty());
  const TextShape shape = shape_of(text);
  if (error.kind == ov::YamlError::Kind::Parser) {
    require(!error.path);
    require(rendered.starts_with(error.message));
    require(error.mark.has_value());
    // An encoding problem is known only by its byte offset.
    if (error.mark->line == 0 && error.mark->column == 0) {
      require(error.mark->index <= text.size());
    } else {
      check_mark(*error.mark, shape);
    }
    if (error.context) check_mark(error.context_mark, shape);
    return;
  }
  // A reading-rule error: "path: message at line L column C".
  std::string expected;
  if (error.path) {
    require(!error.path->empty());
    if (*error.path != ".") expected = *error.path + ": ";
  }
  expected += error.message;
  if (error.mark) {
    check_mark(*error.mark, shape);
    if (error.mark->line != 0 || error.mark->column != 0) expected += position_text(*error.mark);
  }
  require(rendered == expected);
  // Errors that name no node carry no path.
  if (error.message == ov::kMoreThanOneDocument || error.message == ov::kRepetitionLimit) {
    require(!error.path && !error.mark);
  }
  if (error.message == ov::kRecursionLimit || error.message == "unknown anchor") {
    require(!error.path && error.mark);
  }
}

std::string outcome(const std::expected<ov::VendorFile, ov::YamlError>& result) {
  if (result) return "ok " + std::to_string(digest(*result));
  const ov::YamlError& e = result.error();
  return (e.kind == ov::YamlError::Kind::Parser ? "parser " : "rule ") + e.render();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Read from a private copy that is overwritten and freed afterwards: a
  // result that still viewed the input would change or fault below.
  auto copy = std::make_unique<char[]>(size + 1);
  std::memcpy(copy.get(), data, size);
  auto first = ov::parse_vendor_file(std::string_view(copy.get(), size));
  std::memset(copy.get(), 0x5A, size);
  copy.reset();

  // Pure: the same text gives the same result.
  const auto second = ov::parse_vendor_file(text);
  require(first.has_value() == second.has_value());
  require(outcome(first) == outcome(second));

  if (!first) {
    check_rejection(first.error(), text);
    return 0;
  }

  // A complete document followed by another is refused as such.
  std::string two(text);
  two += "\n---\n";
  const auto doubled = ov::parse_vendor_file(two);
  require(!doubled && doubled.error().message == ov::kMoreThanOneDocument);
  return 0;
}
