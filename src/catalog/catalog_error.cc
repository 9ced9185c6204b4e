#include "catalog/catalog_error.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "base/errno_text.h"
#include "base/utf8.h"

namespace ov {
namespace {

void append_line_column(std::string& out, const Mark& mark) {
  out += " at line " + std::to_string(mark.line + 1) + " column " + std::to_string(mark.column + 1);
}

bool at_origin(const Mark& mark) { return mark.line == 0 && mark.column == 0; }

// The code point at `i`, advancing it; the catalog only ever holds valid
// UTF-8, and a stray byte stands for itself.
char32_t code_point_at(std::string_view text, std::size_t& i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  return next_code_point(text, i).value_or(byte);
}

// Characters shown as \u{..}: controls, and the invisible separators and
// format characters a reader could not see in a message.
bool printable(char32_t cp) {
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return false;
  // Invisible or look-alike characters, which a reader could not tell apart
  // in a message: spaces other than the plain one, line and paragraph
  // separators, format controls, private use and the UTF-16 surrogates.
  constexpr std::pair<char32_t, char32_t> kHidden[] = {
      {0xA0, 0xA0},     {0xAD, 0xAD},     {0x061C, 0x061C}, {0x1680, 0x1680},    {0x180E, 0x180E},
      {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x2064}, {0x2066, 0x206F},    {0x3000, 0x3000},
      {0xD800, 0xF8FF}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB}, {0xF0000, 0x10FFFF},
  };
  for (const auto& [first, last] : kHidden) {
    if (cp >= first && cp <= last) return false;
  }
  return true;
}

}  // namespace

YamlError YamlError::rule(std::string message, std::optional<std::string> path,
                          std::optional<Mark> mark) {
  YamlError error;
  error.kind = Kind::Rule;
  error.message = std::move(message);
  error.path = std::move(path);
  error.mark = mark;
  return error;
}

YamlError YamlError::parser(std::string problem, Mark problem_mark,
                            std::optional<std::string> context, Mark context_mark) {
  YamlError error;
  error.kind = Kind::Parser;
  error.message = std::move(problem);
  error.mark = problem_mark;
  error.context = std::move(context);
  error.context_mark = context_mark;
  return error;
}

std::string YamlError::render() const {
  std::string out;
  if (kind == Kind::Rule) {
    if (path && *path != ".") {
      out += *path;
      out += ": ";
    }
    out += message;
    if (mark && !at_origin(*mark)) append_line_column(out, *mark);
    return out;
  }
  out += message;
  const Mark problem = mark.value_or(Mark{});
  if (!at_origin(problem)) {
    append_line_column(out, problem);
  } else if (problem.index != 0) {
    out += " at position " + std::to_string(problem.index);
  }
  if (context) {
    out += ", ";
    out += *context;
    const bool same = context_mark.line == problem.line && context_mark.column == problem.column;
    if (!at_origin(context_mark) && !same) append_line_column(out, context_mark);
  }
  return out;
}

IoError IoError::from_errno(int code) { return IoError{code, {}}; }

IoError IoError::plain(std::string message) { return IoError{0, std::move(message)}; }

std::string IoError::render() const {
  if (code == 0) return message;
  return errno_text(code);
}

CatalogError io_error(IoError error, std::string_view path) {
  return CatalogError{catalog_error::Io{std::move(error), std::string(path)}};
}

std::string debug_quoted(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t cp = code_point_at(text, i);
    switch (cp) {
      case U'"':
        out += "\\\"";
        break;
      case U'\\':
        out += "\\\\";
        break;
      case U'\0':
        out += "\\0";
        break;
      case U'\t':
        out += "\\t";
        break;
      case U'\r':
        out += "\\r";
        break;
      case U'\n':
        out += "\\n";
        break;
      default:
        if (printable(cp)) {
          out.append(text.substr(start, i - start));
        } else {
          char escape[16];
          std::snprintf(escape, sizeof escape, "\\u{%x}", static_cast<unsigned>(cp));
          out += escape;
        }
    }
  }
  out += '"';
  return out;
}

std::string CatalogError::message() const {
  using namespace catalog_error;
  struct Render {
    std::string operator()(const Parse& e) const {
      return "catalog parse error in " + e.file + ": " + e.error.render();
    }
    std::string operator()(const Io& e) const { return "catalog I/O error: " + e.error.render(); }
    std::string operator()(const UnknownVendor& e) const { return "unknown vendor: " + e.vendor; }
    std::string operator()(const InvalidRange& e) const {
      return "invalid version range '" + e.range + "': " + e.reason;
    }
    std::string operator()(const InvalidFirmware& e) const {
      return "invalid firmware version '" + e.firmware + "'";
    }
    std::string operator()(const NoEntry& e) const {
      // Some("...") / None: the module's fixed wording, relied on by callers.
      const std::string firmware = e.firmware ? "Some(" + debug_quoted(*e.firmware) + ")" : "None";
      return "no entry for " + e.vendor + " " + firmware + " " +
             std::string(display_name(e.command));
    }
    std::string operator()(const NotSupported& e) const {
      return std::string(display_name(e.command)) + " is not supported on " + e.vendor + ": " +
             e.notes;
    }
  };
  return std::visit(Render{}, detail);
}

std::string CatalogError::located_message() const {
  const auto* io = std::get_if<catalog_error::Io>(&detail);
  if (io == nullptr || io->path.empty()) return message();
  return "catalog I/O error: " + io->path + ": " + io->error.render();
}

}  // namespace ov
