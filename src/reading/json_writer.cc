#include "reading/json_writer.h"

#include <array>
#include <charconv>

#include "base/utf8.h"

namespace ov::reading {
namespace {

// The sink takes the text in pieces of about this size.
constexpr std::size_t kPiece = 64 * 1024;

// The escape of each byte below 0x20 and of " and \, as dump writes them;
// empty: the byte as it is.
constexpr std::array<std::string_view, 0x60> kEscapes = [] {
  std::array<std::string_view, 0x60> table{};
  constexpr std::array<std::string_view, 0x20> kControls{
      "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
      "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
      "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
      "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
  for (std::size_t c = 0; c < kControls.size(); ++c) table[c] = kControls[c];
  table['"'] = "\\\"";
  table['\\'] = "\\\\";
  return table;
}();

}  // namespace

void JsonWriter::element() {
  if (!first_) out_ += ',';
  first_ = false;
}

void JsonWriter::begin_object() {
  element();
  out_ += '{';
  first_ = true;
}

void JsonWriter::end_object() {
  out_ += '}';
  first_ = false;
  spill();
}

void JsonWriter::begin_array() {
  element();
  out_ += '[';
  first_ = true;
}

void JsonWriter::end_array() {
  out_ += ']';
  first_ = false;
  spill();
}

void JsonWriter::key(std::string_view name) {
  element();
  escaped(name);
  out_ += ':';
  first_ = true;  // the value that follows takes no comma
}

void JsonWriter::string(std::string_view text) {
  element();
  escaped(text);
}

void JsonWriter::integer(long long number) {
  element();
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  out_.append(digits.data(), end);
}

void JsonWriter::null() {
  element();
  out_ += "null";
}

void JsonWriter::value(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null: return null();
    case Json::value_t::boolean:
      element();
      out_ += value.get<bool>() ? "true" : "false";
      return;
    case Json::value_t::number_integer: return integer(value.get<long long>());
    case Json::value_t::string: return string(value.get_ref<const std::string&>());
    case Json::value_t::array:
      begin_array();
      for (const Json& item : value) this->value(item);
      return end_array();
    case Json::value_t::object:
      begin_object();
      for (const auto& [name, member] : value.items()) {
        key(name);
        this->value(member);
      }
      return end_object();
    default:
      // Unsigned and floating-point numbers and binary values: no record has
      // them; dump writes them as it writes them in a tree.
      element();
      out_ += value.dump(-1, ' ', false, Json::error_handler_t::replace);
      return;
  }
}

void JsonWriter::escaped(std::string_view text) {
  // Text that is not UTF-8 gets dump's own replacement characters.
  if (!is_valid_utf8(text)) {
    out_ += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
    return;
  }
  out_ += '"';
  std::size_t plain = 0;  // the start of the bytes not yet written
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= kEscapes.size() || kEscapes[byte].empty()) continue;
    out_.append(text.substr(plain, i - plain));
    out_ += kEscapes[byte];
    plain = i + 1;
  }
  out_.append(text.substr(plain));
  out_ += '"';
}

void JsonWriter::spill() {
  if (out_.size() < kPiece) return;
  sink_(out_);
  out_.clear();
}

void JsonWriter::flush() {
  if (!out_.empty()) sink_(out_);
  out_.clear();
}

}  // namespace ov::reading
