// The translation walks the pattern once, as Python's own parser would, and
// writes the PCRE2 spelling of each piece:
//   pattern  := piece*
//   piece    := '\' escape | '[' set ']' | '(' group ')' | quantifier | other
//   quantifier := ('*' | '+' | '?' | '{' m? ',' n? '}' | '{' m '}') ('?' | '+')?
#include "parse/python_regex.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "base/utf8.h"
#include "parse/regex.h"

namespace ov::parse {
namespace {

// The code points Python's \s matches in str patterns (PCRE2's UCP set
// differs in U+001C..U+001F and U+180E).
constexpr std::string_view kPythonSpace =
    "\\t-\\r\\x{1c}-\\x{20}\\x{85}\\x{a0}\\x{1680}\\x{2000}-\\x{200a}\\x{2028}\\x{2029}"
    "\\x{202f}\\x{205f}\\x{3000}";
// The same within ASCII, for patterns compiled for ASCII subjects alone.
constexpr std::string_view kPythonAsciiSpace = "\\t-\\r\\x1c-\\x20";

using Step = std::expected<void, std::string>;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_octal(char c) { return c >= '0' && c <= '7'; }
bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_hex(char c) {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A Python identifier, as a group name must be; names beyond ASCII are
// judged by Unicode's letter and number classes.
bool is_identifier(std::string_view name) {
  if (name.empty() || is_digit(name[0])) return false;
  bool ascii = true;
  for (const char c : name) {
    const bool ascii_word = is_ascii_letter(c) || is_digit(c) || c == '_';
    if (!ascii_word && static_cast<unsigned char>(c) < 0x80) return false;
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  return ascii || is_unicode_identifier(name);
}

std::string hex_literal(char32_t cp) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[cp & 0xF]);
    cp >>= 4;
  } while (cp != 0);
  return "\\x{" + digits + "}";
}

class Translator {
 public:
  Translator(std::string_view pattern, Subjects subjects)
      : p_(pattern), space_(subjects == Subjects::Ascii ? kPythonAsciiSpace : kPythonSpace) {}

  std::expected<Translation, std::string> run() {
    while (i_ < p_.size()) {
      if (auto step = piece(); !step) return std::unexpected(step.error());
    }
    if (!open_.empty()) return std::unexpected(at("missing ), unterminated subpattern", open_.back().position));
    return std::move(out_);
  }

 private:
  // What precedes the current position, for the quantifier rules.
  enum class Last { Nothing, Item, Quantifier, Modified };

  struct Open {
    std::size_t group;  // 0 for a group that does not capture
    std::size_t position;
  };

  static std::string at(std::string_view reason, std::size_t position) {
    return std::string(reason) + " at position " + std::to_string(position);
  }
  std::unexpected<std::string> fail(std::string_view reason, std::size_t position) const {
    return std::unexpected(at(reason, position));
  }

  char peek(std::size_t ahead) const { return i_ + ahead < p_.size() ? p_[i_ + ahead] : '\0'; }

  void emit(std::string_view text, Last last) {
    out_.pattern += text;
    last_ = last;
  }

  Step piece() {
    const char c = p_[i_];
    switch (c) {
      case '\\': return escape();
      case '[': return set();
      case '(': return open_group();
      case ')': return close_group();
      case '*':
      case '+':
      case '?': return quantifier(std::string(1, c), 1);
      case '{': {
        if (const auto braces = brace_quantifier()) {
          if (braces->first.empty()) return fail("min repeat greater than max repeat", i_ + 1);
          if (count_too_large(braces->first))
            return fail("a repeat count above 65535 is not supported", i_);
          return quantifier(braces->first, braces->second);
        }
        ++i_;
        emit("\\{", Last::Item);
        return {};
      }
      case '|':
      case '^':
      case '$':
        ++i_;
        emit(std::string(1, c), Last::Nothing);
        return {};
      default:
        ++i_;
        emit(std::string(1, c), Last::Item);
        return {};
    }
  }

  Step quantifier(const std::string& text, std::size_t length) {
    const std::size_t position = i_;
    i_ += length;
    const bool modifier = text == "?" || text == "+";
    switch (last_) {
      case Last::Nothing: return fail("nothing to repeat", position);
      case Last::Modified: return fail("multiple repeat", position);
      case Last::Quantifier:
        if (!modifier) return fail("multiple repeat", position);
        emit(text, Last::Modified);
        return {};
      case Last::Item: break;
    }
    emit(text, Last::Quantifier);
    return {};
  }

  // {m}, {m,}, {,n}, {m,n}, {,}: the PCRE2 spelling and the length taken, or
  // nothing when the brace is a literal, as in Python.
  std::optional<std::pair<std::string, std::size_t>> brace_quantifier() const {
    std::size_t j = i_ + 1;
    const auto digits = [&] {
      const std::size_t from = j;
      while (j < p_.size() && is_digit(p_[j])) ++j;
      return p_.substr(from, j - from);
    };
    const std::string_view low = digits();
    bool comma = false;
    std::string_view high = low;
    if (j < p_.size() && p_[j] == ',') {
      comma = true;
      ++j;
      high = digits();
    }
    if (j >= p_.size() || p_[j] != '}' || (!comma && low.empty())) return std::nullopt;
    if (!low.empty() && !high.empty() && digits_less(high, low)) return std::pair{std::string(), j + 1 - i_};
    std::string text = "{" + std::string(low.empty() ? "0" : low);
    if (comma) text += "," + std::string(high);
    return std::pair{text + "}", j + 1 - i_};
  }

  // a < b for two runs of decimal digits of any length.
  static bool digits_less(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a[0] == '0') a.remove_prefix(1);
    while (b.size() > 1 && b[0] == '0') b.remove_prefix(1);
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  }

  // PCRE2 caps a repeat count at 65535; Python's is far higher.
  static bool count_too_large(std::string_view braces) {
    for (std::size_t i = 0; i < braces.size();) {
      if (!is_digit(braces[i])) {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < braces.size() && is_digit(braces[j])) ++j;
      std::string_view digits = braces.substr(i, j - i);
      while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
      std::uint32_t value = 0;
      if (digits.size() > 5) return true;
      std::from_chars(digits.data(), digits.data() + digits.size(), value);
      if (value > 65535) return true;
      i = j;
    }
    return false;
  }

  // Code point after \x, \u or \U: exactly `width` hex digits.
  Step hex_escape(std::size_t width, bool in_set) {
    const std::size_t position = i_;
    const std::string_view digits = p_.substr(i_ + 2, width);
    if (digits.size() != width || !std::ranges::all_of(digits, is_hex))
      return fail("incomplete escape \\" + std::string(1, p_[i_ + 1]) + std::string(digits), position);
    std::uint32_t cp = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), cp, 16);
    if (cp > 0x10FFFF) return fail("bad escape \\" + std::string(p_.substr(i_ + 1, width + 1)), position);
    if (cp >= 0xD800 && cp <= 0xDFFF) return fail("a surrogate code point is not supported", position);
    i_ += 2 + width;
    emit(hex_literal(cp), in_set ? last_ : Last::Item);
    return {};
  }

  Step octal(std::size_t max_digits, bool in_set) {
    const std::size_t position = i_;
    std::size_t j = i_ + 1;
    std::uint32_t value = 0;
    while (j < p_.size() && j < i_ + 1 + max_digits && is_octal(p_[j])) value = value * 8 + (p_[j++] - '0');
    if (value > 0377) return fail("octal escape value outside of range 0-0o377", position);
    i_ = j;
    emit(hex_literal(value), in_set ? last_ : Last::Item);
    return {};
  }

  // \1..\99 outside a set: a reference to a closed group, or three octal digits.
  Step number_escape() {
    const std::size_t position = i_;
    if (p_[i_ + 1] == '0') return octal(3, false);
    if (is_octal(p_[i_ + 1]) && is_octal(peek(2)) && is_octal(peek(3))) return octal(3, false);
    std::size_t length = is_digit(peek(2)) ? 2 : 1;
    const std::size_t group = std::stoul(std::string(p_.substr(i_ + 1, length)));
    if (group > out_.groups) return fail("invalid group reference " + std::to_string(group), position + 1);
    if (is_open(group)) return fail("cannot refer to an open group", position);
    i_ += 1 + length;
    emit("\\g{" + std::to_string(group) + "}", Last::Item);
    return {};
  }

  // The escapes that mean the same inside and outside a set.
  std::optional<Step> literal_escape(char c, bool in_set) {
    switch (c) {
      case 'a': return simple(hex_literal(0x07), in_set);
      case 'f': return simple(hex_literal(0x0C), in_set);
      case 'n': return simple(hex_literal(0x0A), in_set);
      case 'r': return simple(hex_literal(0x0D), in_set);
      case 't': return simple(hex_literal(0x09), in_set);
      case 'v': return simple(hex_literal(0x0B), in_set);
      case 'x': return hex_escape(2, in_set);
      case 'u': return hex_escape(4, in_set);
      case 'U': return hex_escape(8, in_set);
      case 'N': return fail("\\N{...} character names are not supported", i_);
      default: return std::nullopt;
    }
  }

  Step simple(std::string_view text, bool in_set) {
    i_ += 2;
    emit(text, in_set ? last_ : Last::Item);
    return {};
  }

  Step escape() {
    if (i_ + 1 >= p_.size()) return fail("bad escape (end of pattern)", i_);
    const char c = p_[i_ + 1];
    if (auto literal = literal_escape(c, false)) return *literal;
    if (is_digit(c)) return number_escape();
    switch (c) {
      case 'A':
      case 'b':
      case 'B':
        i_ += 2;
        emit(std::string("\\") + c, Last::Nothing);
        return {};
      case 'Z':
        i_ += 2;
        emit("\\z", Last::Nothing);
        return {};
      case 'd':
      case 'D':
      case 'w':
      case 'W': return simple(std::string("\\") + c, false);
      case 's': return simple("[" + std::string(space_) + "]", false);
      case 'S': return simple("[^" + std::string(space_) + "]", false);
      default: break;
    }
    if (is_ascii_letter(c)) return fail(std::string("bad escape \\") + c, i_);
    if (static_cast<unsigned char>(c) >= 0x80) {
      ++i_;  // a character above ASCII stands for itself; its bytes follow
      return {};
    }
    return simple(std::string("\\") + c, false);
  }

  Step set_escape() {
    if (i_ + 1 >= p_.size()) return fail("bad escape (end of pattern)", i_);
    const char c = p_[i_ + 1];
    if (auto literal = literal_escape(c, true)) return *literal;
    if (is_octal(c)) return octal(3, true);
    switch (c) {
      case 'd':
      case 'D':
      case 'w':
      case 'W':
      case 'S': return simple(std::string("\\") + c, true);
      case 's': return simple(space_, true);
      case 'b': return simple(hex_literal(0x08), true);
      default: break;
    }
    if (is_ascii_letter(c) || is_digit(c)) return fail(std::string("bad escape \\") + c, i_);
    if (static_cast<unsigned char>(c) >= 0x80) {
      ++i_;
      return {};
    }
    return simple(std::string("\\") + c, true);
  }

  Step set() {
    const std::size_t start = i_;
    ++i_;
    out_.pattern += '[';
    if (peek(0) == '^') {
      out_.pattern += '^';
      ++i_;
    }
    for (bool first = true;; first = false) {
      if (i_ >= p_.size()) return fail("unterminated character set", start);
      const char c = p_[i_];
      if (c == ']' && !first) break;
      if (c == '\\') {
        if (auto step = set_escape(); !step) return step;
        continue;
      }
      // A [ inside a set is a literal in Python, never a POSIX class.
      out_.pattern += c == '[' ? "\\[" : c == ']' ? "\\]" : std::string(1, c);
      ++i_;
    }
    ++i_;
    emit("]", Last::Item);
    return {};
  }

  bool is_open(std::size_t group) const {
    return std::ranges::any_of(open_, [&](const Open& o) { return o.group == group; });
  }

  std::optional<std::size_t> group_named(std::string_view name) const {
    for (const NamedGroup& g : out_.names) {
      if (g.name == name) return g.number;
    }
    return std::nullopt;
  }

  // The name between i_ and `close`; i_ moves past `close`.
  std::expected<std::string, std::string> name_until(char close) {
    const std::size_t end = p_.find(close, i_);
    if (end == std::string_view::npos)
      return std::unexpected(at(std::string("missing ") + close + ", unterminated name", i_));
    std::string name(p_.substr(i_, end - i_));
    if (name.empty()) return std::unexpected(at("missing group name", i_));
    i_ = end + 1;
    return name;
  }

  void open(std::size_t group, std::size_t position, std::string_view text) {
    open_.push_back({group, position});
    emit(text, Last::Nothing);
  }

  Step open_group() {
    const std::size_t position = i_;
    if (peek(1) != '?') {
      ++i_;
      open(++out_.groups, position, "(");
      return {};
    }
    const char kind = peek(2);
    if (kind == 'P') return p_group(position);
    if (kind == '(') return condition(position);
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kPlain{{
        {":", "(?:"}, {"=", "(?="}, {"!", "(?!"}, {"<=", "(?<="}, {"<!", "(?<!"}, {">", "(?>"}}};
    for (const auto& [after, text] : kPlain) {
      if (p_.substr(i_ + 2).starts_with(after)) {
        i_ += 2 + after.size();
        open(0, position, text);
        return {};
      }
    }
    if (kind == '#') {
      const std::size_t end = p_.find(')', i_);
      if (end == std::string_view::npos) return fail("missing ), unterminated comment", position);
      i_ = end + 1;
      return {};
    }
    if (kind == '<') return fail(std::string("unknown extension ?<") + peek(3), position + 1);
    return flags(position);
  }

  Step p_group(std::size_t position) {
    const char form = peek(3);
    i_ += 4;
    if (form == '<') {
      auto name = name_until('>');
      if (!name) return std::unexpected(name.error());
      if (!is_identifier(*name)) return fail("bad character in group name '" + *name + "'", position + 4);
      if (const auto earlier = group_named(*name)) {
        return fail("redefinition of group name '" + *name + "' as group " +
                        std::to_string(out_.groups + 1) + "; was group " + std::to_string(*earlier),
                    position + 4);
      }
      out_.names.push_back({*name, ++out_.groups});
      open(out_.groups, position, "(");
      return {};
    }
    if (form == '=') {
      auto name = name_until(')');
      if (!name) return std::unexpected(name.error());
      const auto group = group_named(*name);
      if (!group) return fail("unknown group name '" + *name + "'", position + 4);
      if (is_open(*group)) return fail("cannot refer to an open group", position);
      emit("\\g{" + std::to_string(*group) + "}", Last::Item);
      return {};
    }
    return fail(std::string("unknown extension ?P") + form, position + 1);
  }

  // (?(id)yes|no): the id a group number or name, written as a number.
  Step condition(std::size_t position) {
    i_ += 3;
    auto id = name_until(')');
    if (!id) return std::unexpected(id.error());
    std::size_t group = 0;
    if (std::ranges::all_of(*id, is_digit)) {
      const auto [end, error] = std::from_chars(id->data(), id->data() + id->size(), group);
      // A later group may be named: PCRE2 checks that it exists.
      if (error != std::errc{} || group == 0)
        return fail("invalid group reference " + *id, position + 3);
    } else if (const auto named = group_named(*id)) {
      group = *named;
    } else {
      return fail("unknown group name '" + *id + "'", position + 3);
    }
    open(0, position, "(?(" + std::to_string(group) + ")");
    return {};
  }

  // (?flags:...) and (?flags-flags:...); (?flags) alone only at the start.
  Step flags(std::size_t position) {
    std::size_t j = i_ + 2;
    std::string on;
    std::string off;
    for (; j < p_.size() && std::string_view("aiLmsux").find(p_[j]) != std::string_view::npos; ++j) on += p_[j];
    if (j < p_.size() && p_[j] == '-') {
      for (++j; j < p_.size() && is_ascii_letter(p_[j]); ++j) off += p_[j];
      if (off.empty()) return fail("missing flag", j);
    }
    if (j >= p_.size()) return fail("missing -, : or )", j);
    const char end = p_[j];
    if (on.empty() && off.empty()) return fail(std::string("unknown extension ?") + end, position + 1);
    if (end != ':' && end != ')') {
      return fail(is_ascii_letter(end) ? "unknown flag" : "missing -, : or )", j);
    }
    if (end == ')' && (!off.empty() || position != 0))
      return fail("global flags not at the start of the expression", position);
    for (const char f : off) {
      if (on.find(f) != std::string::npos) return fail("bad inline flags: flag turned on and off", j);
    }
    std::string text = "(?";
    for (const char f : on) {
      if (f == 'L') return fail("bad inline flag: cannot use 'L' flag with a str pattern", position);
      // A value's regex alone may open with (?a): it is only checked, never run.
      const bool checked_only = f == 'a' && end == ')';
      if ((f == 'a' && !checked_only) || f == 'x')
        return fail(std::string("the inline flag ") + f + " is not supported", position);
      if (f != 'u' && f != 'a') text += f;
    }
    if (!off.empty()) text += '-';
    for (const char f : off) {
      if (f == 'a' || f == 'u' || f == 'L')
        return fail("bad inline flag: cannot turn off flags 'a', 'u' and 'L'", position);
      if (f == 'x') return fail("the inline flag x is not supported", position);
      if (std::string_view("ims").find(f) == std::string_view::npos) return fail("unknown flag", position);
      text += f;
    }
    i_ = j + 1;
    if (end == ')') {
      if (text != "(?") emit(text + ")", Last::Nothing);
      return {};
    }
    open(0, position, text + ":");
    return {};
  }

  Step close_group() {
    if (open_.empty()) return fail("unbalanced parenthesis", i_);
    open_.pop_back();
    ++i_;
    emit(")", Last::Item);
    return {};
  }

  std::string_view p_;
  std::string_view space_;  // what \s stands for
  std::size_t i_ = 0;
  Translation out_;
  std::vector<Open> open_;
  Last last_ = Last::Nothing;
};

}  // namespace

std::expected<Translation, std::string> translate_python_regex(std::string_view pattern,
                                                               Subjects subjects) {
  // A Python pattern is text: bytes that are not UTF-8 would reach PCRE2's
  // UTF mode (and the group-name check that matches with it) unchecked.
  if (!is_valid_utf8(pattern)) return std::unexpected("not valid utf-8");
  return Translator(pattern, subjects).run();
}

}  // namespace ov::parse
