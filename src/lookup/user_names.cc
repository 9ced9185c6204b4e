#include "lookup/user_names.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "base/utf8.h"
#include "catalog/command_type.h"
#include "catalog/firmware_version.h"
#include "lookup/ios_xe_3_releases.h"

namespace ov {
namespace {

// `text` without `prefix` when it starts with it and a digit follows.
std::string_view without(std::string_view text, std::string_view prefix) {
  if (text.size() > prefix.size() && text.starts_with(prefix) &&
      is_ascii_digit(text[prefix.size()])) {
    text.remove_prefix(prefix.size());
  }
  return text;
}

// "KB.16.11.0012" and "K.15.18.0013" lose their one or two letter code.
std::string_view without_release_code(std::string_view text) {
  const bool two = text.size() > 1 && is_ascii_upper(text[0]) && is_ascii_upper(text[1]);
  const std::size_t letters = two ? 2 : 1;
  if (text.size() > letters + 1 && is_ascii_upper(text[0]) && text[letters] == '.' &&
      is_ascii_digit(text[letters + 1])) {
    text.remove_prefix(letters + 1);
  }
  return text;
}

// Edits (insert, delete, replace) from `a` to `b`, ignoring ASCII case.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = ascii_lower(a[i - 1]) == ascii_lower(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The names closest to a given text, ignoring ASCII case, at most two edits
// away; names are offered one by one, so that no list of them is built.
class Suggestions {
 public:
  explicit Suggestions(std::string_view given) : given_(given) {}

  void consider(std::string_view name) {
    if (name == given_) return;
    const std::size_t distance = edit_distance(given_, name);
    if (distance > kMostEdits) return;
    if (distance < best_) closest_.clear();
    if (distance <= best_ && closest_.size() < kMostSuggestions) {
      best_ = distance;
      closest_.push_back(name);
    }
  }

  // " (did you mean A?)", " (did you mean A or B?)", or empty.
  std::string text() const {
    if (closest_.empty()) return {};
    std::string out = " (did you mean ";
    for (std::size_t i = 0; i < closest_.size(); ++i) {
      if (i > 0) out += i + 1 == closest_.size() ? " or " : ", ";
      out += closest_[i];
    }
    return out + "?)";
  }

 private:
  static constexpr std::size_t kMostEdits = 2;
  static constexpr std::size_t kMostSuggestions = 3;

  std::string_view given_;
  std::size_t best_ = kMostEdits + 1;
  std::vector<std::string_view> closest_;
};

// The operating system `name` speaks of (see vendor_suggestion), or empty.
std::string_view operating_system(std::string_view name) {
  const auto is_token_char = [](char c) { return is_ascii_alpha(c) || is_ascii_digit(c); };
  std::size_t at = 0;
  while (at < name.size()) {
    while (at < name.size() && !is_token_char(name[at])) ++at;
    std::size_t end = at;
    while (end < name.size() && is_token_char(name[end])) ++end;
    const std::string_view token = name.substr(at, end - at);
    for (const OperatingSystemToken& known : kOperatingSystems) {
      if (equals_ignoring_ascii_case(token, known.token)) return known.system;
    }
    at = end;
  }
  return {};
}

}  // namespace

std::string did_you_mean(std::string_view given, std::span<const std::string_view> names) {
  Suggestions suggestions(given);
  for (const std::string_view name : names) suggestions.consider(name);
  return suggestions.text();
}

std::string command_type_suggestion(std::string_view given) {
  Suggestions suggestions(given);
  for (const CommandTypeName& name : kCommandTypes) suggestions.consider(name.yaml);
  return suggestions.text();
}

std::string vendor_suggestion(const Catalog& catalog, std::string_view given) {
  Suggestions suggestions(given);
  const std::string_view system = operating_system(given);
  const auto consider = [&](std::string_view name) {
    const std::string_view other = operating_system(name);
    if (system.empty() || other.empty() || system == other) suggestions.consider(name);
  };
  for (const VendorFile& file : catalog.files()) consider(file.vendor);
  for (const VendorAlias& alias : catalog_aliases(catalog)) consider(alias.alias);
  return suggestions.text();
}

std::vector<VendorAlias> catalog_aliases(const Catalog& catalog) {
  std::vector<VendorAlias> aliases;
  for (const VendorAlias& alias : kVendorAliases) {
    if (catalog.find(alias.vendor) != nullptr && catalog.find(alias.alias) == nullptr) {
      aliases.push_back(alias);
    }
  }
  return aliases;
}

std::string_view catalog_vendor(const Catalog& catalog, std::string_view name) {
  if (catalog.find(name) != nullptr) return name;
  const auto alias = std::ranges::find(kVendorAliases, name, &VendorAlias::alias);
  if (alias != kVendorAliases.end() && catalog.find(alias->vendor) != nullptr) return alias->vendor;
  return name;
}

std::string_view aliased_vendor(std::string_view name) {
  const auto alias = std::ranges::find(kVendorAliases, name, &VendorAlias::alias);
  return alias != kVendorAliases.end() ? alias->vendor : name;
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

// The vendor whose IOS-XE 3.x releases are looked up as their IOS 15.x counterpart.
constexpr std::string_view kIosVendor = "cisco_ios";

LookupKey lookup_key(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
                     bool exact) {
  LookupKey key{std::string(catalog_vendor(catalog, vendor)), std::string(firmware)};
  if (exact) return key;
  if (key.vendor == kIosVendor) {
    if (auto counterpart = ios_15_counterpart(trim_white_space(firmware))) {
      key.firmware = std::move(*counterpart);
      return key;
    }
  }
  key.firmware = firmware_to_look_up(firmware);
  return key;
}

}  // namespace ov
