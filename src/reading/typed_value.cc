#include "reading/typed_value.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <utility>
#include <cstdint>

#include "base/ascii.h"
#include "base/utf8.h"

namespace ov::reading {
namespace {

constexpr int kMostVlan = 4094;

std::string_view trimmed(std::string_view text) { return trim_white_space(text); }

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

// A whole decimal number.
template <class T>
std::optional<T> whole_number(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<long long> integer(std::string_view text) {
  std::string digits;
  for (const char c : trimmed(text)) {
    if (c != ',') digits += c;
  }
  return whole_number<long long>(digits);
}

int hex_digit(char c) {
  if (is_ascii_digit(c)) return c - '0';
  const char l = ascii_lower(c);
  return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

std::optional<std::string> text_value(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) {
    const std::string_view item = trimmed(text);
    if (item.empty()) continue;
    if (!out.empty()) out += '\n';
    out += item;
  }
  if (out.empty()) return std::nullopt;
  return out;
}

// The items of a List, or a plain value split on commas; empty ones dropped.
std::vector<std::string> items(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  const auto add = [&](std::string_view item) {
    item = trimmed(item);
    if (!item.empty()) out.emplace_back(item);
  };
  if (texts.size() == 1) {
    std::string_view rest = texts[0];
    for (std::size_t comma = rest.find(','); comma != std::string_view::npos;
         comma = rest.find(',')) {
      add(rest.substr(0, comma));
      rest.remove_prefix(comma + 1);
    }
    add(rest);
  } else {
    for (const std::string& text : texts) add(text);
  }
  return out;
}

std::optional<std::string_view> word_value(std::span<const Word> words, std::string_view text) {
  for (const Word& word : words) {
    if (equals_ignoring_ascii_case(word.word, text)) return word.value;
  }
  return std::nullopt;
}

// Capability letters and names, as the lower-case names LLDP and CDP use.
constexpr std::array<Word, 21> kCapabilities{{
    {"B", "bridge"},         {"R", "router"},
    {"T", "telephone"},      {"W", "wlan-access-point"},
    {"P", "repeater"},       {"S", "station"},
    {"C", "docsis-cable-device"}, {"O", "other"},
    {"Bridge", "bridge"},    {"Router", "router"},
    {"Telephone", "telephone"}, {"WLAN Access Point", "wlan-access-point"},
    {"WLAN", "wlan-access-point"}, {"Repeater", "repeater"},
    {"Station", "station"},  {"Station Only", "station"},
    {"Host", "station"},     {"Switch", "switch"},
    {"IGMP", "igmp"},        {"Two-port Mac Relay", "two-port-mac-relay"},
    {"Other", "other"},
}};

std::vector<std::string> capabilities(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  const auto add = [&](std::string_view word) {
    word = trimmed(word);
    if (word.empty()) return;
    std::string name;
    if (const auto known = word_value(kCapabilities, word)) {
      name = *known;
    } else {
      name = lower(word);
      std::ranges::replace(name, ' ', '-');
    }
    if (std::ranges::find(out, name) == out.end()) out.push_back(std::move(name));
  };
  for (const std::string& text : texts) {
    // Multi-word names first, then the separators: comma, slash, blank.
    std::string_view rest = text;
    while (!rest.empty()) {
      const std::size_t cut = rest.find_first_of(",/");
      std::string_view part = trimmed(rest.substr(0, cut));
      if (word_value(kCapabilities, part) || part.find(' ') == std::string_view::npos) {
        add(part);
      } else {
        for (std::size_t blank = part.find(' '); !part.empty(); blank = part.find(' ')) {
          add(part.substr(0, blank));
          part.remove_prefix(blank == std::string_view::npos ? part.size() : blank + 1);
        }
      }
      rest.remove_prefix(cut == std::string_view::npos ? rest.size() : cut + 1);
    }
  }
  return out;
}

std::optional<std::string> mask_prefix(std::string_view address, std::string_view mask) {
  in_addr parsed{};
  if (inet_pton(AF_INET, std::string(mask).c_str(), &parsed) != 1) return std::nullopt;
  const std::uint32_t bits = ntohl(parsed.s_addr);
  const int length = std::popcount(bits);
  // A mask is ones then zeros.
  if (length != 32 && (bits << length) != 0) return std::nullopt;
  return std::string(address) + "/" + std::to_string(length);
}

}  // namespace

std::optional<std::string> normal_mac(std::string_view text) {
  text = trimmed(text);
  std::string digits;
  for (const char c : text) {
    if (c == ':' || c == '-' || c == '.') continue;
    if (hex_digit(c) < 0) return std::nullopt;
    digits += c;
  }
  if (digits.size() != 12) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < 12; i += 2) {
    if (i != 0) out += ':';
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i])));
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i + 1])));
  }
  return out;
}

std::optional<long long> duration_seconds(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  if (auto plain = whole_number<long long>(text)) return plain;
  struct Unit {
    std::string_view name;
    long long seconds;
  };
  constexpr Unit kUnits[] = {{"y", 31536000}, {"year", 31536000}, {"years", 31536000},
                             {"w", 604800},   {"week", 604800},   {"weeks", 604800},
                             {"d", 86400},    {"day", 86400},     {"days", 86400},
                             {"h", 3600},     {"hour", 3600},     {"hours", 3600},
                             {"m", 60},       {"minute", 60},     {"minutes", 60},
                             {"min", 60},     {"mins", 60},       {"s", 1},
                             {"second", 1},   {"seconds", 1},     {"sec", 1},
                             {"secs", 1}};
  // Words around the amounts: "up 3 days and 4 hours", "2 days, 4:02:11 ago".
  constexpr std::string_view kFiller[] = {"and", "ago", "up"};
  std::string words = lower(text);
  for (std::size_t at = words.find("(s)"); at != std::string::npos; at = words.find("(s)")) {
    words.erase(at, 3);  // "41 day(s)"
  }
  for (char& c : words) {
    if (c == ',') c = ' ';
  }
  long long total = 0;
  bool any = false;
  std::optional<long long> pending;  // a number whose unit is the next word
  std::size_t i = 0;
  while (i < words.size()) {
    while (i < words.size() && words[i] == ' ') ++i;
    if (i == words.size()) break;
    const std::size_t end = std::min(words.find(' ', i), words.size());
    const std::string_view token = std::string_view(words).substr(i, end - i);
    i = end;
    if (std::ranges::find(kFiller, token) != std::end(kFiller)) continue;
    if (token.find(':') != std::string_view::npos) {
      // hh:mm:ss or mm:ss
      long long clock = 0;
      int parts = 0;
      for (std::string_view rest = token;;) {
        const std::size_t colon = rest.find(':');
        const auto part = whole_number<long long>(rest.substr(0, colon));
        if (!part || ++parts > 3) return std::nullopt;
        clock = clock * 60 + *part;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
      }
      if (parts < 2 || pending) return std::nullopt;
      total += clock;
      any = true;
      continue;
    }
    // Number and unit pairs within the token ("1d02h"), or a unit alone
    // after a number ("3 days").
    std::size_t k = 0;
    while (k < token.size()) {
      const std::size_t digits = k;
      while (k < token.size() && is_ascii_digit(token[k])) ++k;
      const std::size_t letters = k;
      while (k < token.size() && is_ascii_alpha(token[k])) ++k;
      if (k == digits) return std::nullopt;  // neither a number nor a unit
      const std::string_view unit = token.substr(letters, k - letters);
      std::optional<long long> number;
      if (letters > digits) {
        number = whole_number<long long>(token.substr(digits, letters - digits));
      } else {
        number = std::exchange(pending, std::nullopt);
      }
      if (!number) return std::nullopt;
      if (unit.empty()) {
        pending = number;  // its unit comes next
        continue;
      }
      const auto found = std::ranges::find(kUnits, unit, &Unit::name);
      if (found == std::end(kUnits)) return std::nullopt;
      total += *number * found->seconds;
      any = true;
    }
  }
  if (pending) return std::nullopt;
  return any ? std::optional(total) : std::nullopt;
}

std::optional<std::vector<int>> vlan_list(std::string_view text) {
  text = trimmed(text);
  while (!text.empty() && (text.back() == ',' || text.back() == ' ')) text.remove_suffix(1);
  const std::string word = lower(text);
  if (word == "none") return std::vector<int>{};
  std::vector<int> out;
  if (word == "all" || word == "1-4094" || word == "1-4095") {
    for (int vlan = 1; vlan <= kMostVlan; ++vlan) out.push_back(vlan);
    return out;
  }
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
    if (i == text.size()) break;
    std::size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != ',') ++end;
    const std::string_view part = text.substr(i, end - i);
    i = end;
    const std::size_t dash = part.find('-');
    const auto first = whole_number<int>(part.substr(0, dash));
    const auto last =
        dash == std::string_view::npos ? first : whole_number<int>(part.substr(dash + 1));
    if (!first || !last || *first < 1 || *last > kMostVlan || *last < *first) return std::nullopt;
    if (out.size() + static_cast<std::size_t>(*last - *first + 1) > kMostVlan) return std::nullopt;
    for (int vlan = *first; vlan <= *last; ++vlan) out.push_back(vlan);
  }
  if (out.empty()) return std::nullopt;
  return out;
}

std::optional<long long> speed_mbits(std::string_view text) {
  std::string word = lower(trimmed(text));
  if (word.starts_with("a-")) word.erase(0, 2);
  std::size_t digits = 0;
  while (digits < word.size() && (is_ascii_digit(word[digits]) || word[digits] == '.')) ++digits;
  if (digits == 0) return std::nullopt;
  const std::string number = word.substr(0, digits);
  std::string unit = word.substr(digits);
  std::erase(unit, ' ');
  struct Scale {
    std::string_view unit;
    double mbits;
  };
  constexpr Scale kScales[] = {{"", 1},       {"m", 1},      {"mb/s", 1},  {"mbps", 1},
                               {"mbit", 1},   {"mbit/s", 1}, {"mb", 1},    {"g", 1000},
                               {"gb/s", 1000}, {"gbps", 1000}, {"gbit", 1000}, {"gbit/s", 1000},
                               {"gb", 1000},  {"k", 0.001},  {"kbit", 0.001}, {"kb/s", 0.001},
                               {"kbps", 0.001}};
  const auto scale = std::ranges::find(kScales, unit, &Scale::unit);
  if (scale == std::end(kScales)) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;
  return static_cast<long long>(value * scale->mbits + 0.5);
}

std::optional<std::string> address_prefix(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  const std::size_t blank = text.find(' ');
  if (blank != std::string_view::npos) {
    return mask_prefix(text.substr(0, blank), trimmed(text.substr(blank + 1)));
  }
  return std::string(text);
}

Json typed_value(const FieldSpec& field, const std::vector<std::string>& texts) {
  const std::optional<std::string> text = text_value(texts);
  const auto or_null = [](const auto& value) { return value ? Json(*value) : Json(nullptr); };
  switch (field.kind) {
    case FieldKind::Text:
      return or_null(text);
    case FieldKind::Lower:
      return text ? Json(lower(*text)) : Json(nullptr);
    case FieldKind::Int:
      return text ? or_null(integer(*text)) : Json(nullptr);
    case FieldKind::Bool:
      if (!text) return nullptr;
      if (const auto value = word_value(field.words, *text)) return *value == "true";
      // JSON answers say true and false themselves.
      if (*text == "true" || *text == "false") return *text == "true";
      return nullptr;
    case FieldKind::Choice:
      return text ? or_null(word_value(field.words, *text)) : Json(nullptr);
    case FieldKind::Mac:
      return text ? or_null(normal_mac(*text)) : Json(nullptr);
    case FieldKind::Seconds:
      return text ? or_null(duration_seconds(*text)) : Json(nullptr);
    case FieldKind::Vlans: {
      if (!text) return nullptr;
      std::string joined;
      for (const std::string& item : texts) joined += (joined.empty() ? "" : ",") + item;
      const auto vlans = vlan_list(joined);
      return vlans ? Json(*vlans) : Json(nullptr);
    }
    case FieldKind::Speed:
      return text ? or_null(speed_mbits(*text)) : Json(nullptr);
    case FieldKind::Texts:
      return items(texts);
    case FieldKind::Caps:
      return capabilities(texts);
    case FieldKind::Prefixes: {
      Json out = Json::array();
      for (const std::string& item : items(texts)) {
        if (const auto prefix = address_prefix(item)) out.push_back(*prefix);
      }
      return out;
    }
    case FieldKind::Records:
      break;  // built from their subfields by the record builder
  }
  return nullptr;
}

}  // namespace ov::reading
