#include "cli/user_names.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "base/utf8.h"
#include "catalog/firmware_version.h"

namespace ov::cli {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

// `text` without `prefix` when it starts with it and a digit follows.
std::string_view without(std::string_view text, std::string_view prefix) {
  if (text.size() > prefix.size() && text.starts_with(prefix) && is_digit(text[prefix.size()])) {
    text.remove_prefix(prefix.size());
  }
  return text;
}

// "KB.16.11.0012" and "K.15.18.0013" lose their one or two letter code.
std::string_view without_release_code(std::string_view text) {
  const std::size_t letters = text.size() > 1 && is_upper(text[0]) && is_upper(text[1]) ? 2 : 1;
  if (text.size() > letters + 1 && is_upper(text[0]) && text[letters] == '.' &&
      is_digit(text[letters + 1])) {
    text.remove_prefix(letters + 1);
  }
  return text;
}

}  // namespace

std::string_view catalog_vendor(const Catalog& catalog, std::string_view name) {
  if (catalog.find(name) != nullptr) return name;
  const auto alias = std::ranges::find(kVendorAliases, name, &VendorAlias::alias);
  if (alias != kVendorAliases.end() && catalog.find(alias->vendor) != nullptr) return alias->vendor;
  return name;
}

std::string firmware_to_look_up(std::string_view text) {
  if (FirmwareVersion::parse(text)) return std::string(text);
  std::string_view rest = trim_white_space(text);
  for (const std::string_view prefix : {"Version ", "version ", "v", "V", "MS "}) {
    rest = without(rest, prefix);
  }
  std::string out;
  if (rest.starts_with("switch-")) {
    // A Meraki tag: the numbers joined by dashes.
    rest.remove_prefix(7);
    out = rest;
    std::ranges::replace(out, '-', '.');
  } else {
    out = without_release_code(rest);
  }
  return FirmwareVersion::parse(out) ? out : std::string(text);
}

LookupKey lookup_key(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
                     bool exact) {
  return {std::string(catalog_vendor(catalog, vendor)),
          exact ? std::string(firmware) : firmware_to_look_up(firmware)};
}

void add_exact_firmware_flag(CLI::App& app, bool& exact) {
  app.add_flag("--exact-firmware", exact,
               "look the firmware up as given: keep a release code (KB.16.11.0012), a\n"
               "Meraki tag (switch-15-21, MS 15.21) or a leading v or Version");
}

}  // namespace ov::cli
