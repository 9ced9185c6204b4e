// Vendor names and firmware strings as users have them: the platform names of
// other network-automation libraries, and firmware as devices report it.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace ov {

struct VendorAlias {
  std::string_view alias;
  std::string_view vendor;
};

inline constexpr std::array<VendorAlias, 14> kVendorAliases{{
    {"cisco_xe", "cisco_ios"},
    {"cisco_iosxe", "cisco_ios"},
    {"ios", "cisco_ios"},
    {"nxos", "cisco_nxos"},
    {"nxos_ssh", "cisco_nxos"},
    {"eos", "arista_eos"},
    {"junos", "juniper_junos"},
    {"juniper", "juniper_junos"},
    {"hp_procurve", "hpe_procurve"},
    {"aruba_procurve", "hpe_procurve"},
    {"aruba_osswitch", "hpe_procurve"},
    {"procurve", "hpe_procurve"},
    {"aoscx", "aruba_aoscx"},
    {"meraki", "meraki_ms"},
}};

// The aliases that `catalog` gives effect to, in table order: those whose
// vendor it has, and which no vendor of the alias's own name hides.
std::vector<VendorAlias> catalog_aliases(const Catalog& catalog);

// The catalog's identifier for `name`: the name itself when the catalog has
// such a vendor (an alias never hides one), else its alias's vendor when the
// catalog has that, else the name unchanged.
std::string_view catalog_vendor(const Catalog& catalog, std::string_view name);

// The vendor an alias stands for, without a catalog (the probe loads
// none); any other name unchanged.
std::string_view aliased_vendor(std::string_view name);

// The firmware the lookup reads for `text`: a text that parses as a firmware
// version stays as it is; otherwise a leading "v", "V" or "Version ", a
// Meraki tag ("switch-15-21", "MS 15.21.1") and a ProCurve release code
// ("KB.16.11.0012") are taken off, when what is left parses. A text that still
// does not parse is kept, so that its refusal names it as given.
std::string firmware_to_look_up(std::string_view text);

// The vendor and firmware a lookup uses for what the user typed: for
// cisco_ios, an IOS-XE 3.x release ("03.06.06E") as its IOS 15.x counterpart
// ("15.2(2)E6"); otherwise firmware_to_look_up. `exact` keeps the firmware
// as given.
struct LookupKey {
  std::string vendor;
  std::string firmware;
};
LookupKey lookup_key(const Catalog& catalog, std::string_view vendor, std::string_view firmware,
                     bool exact);

// " (did you mean A?)", " (did you mean A or B?)": the names closest to
// `given`, ignoring ASCII case, at most two edits away; empty when none is.
// `given` itself is never suggested: it was refused as it is.
std::string did_you_mean(std::string_view given, std::span<const std::string_view> names);

// did_you_mean over the command types' YAML names.
std::string command_type_suggestion(std::string_view given);

// did_you_mean over the catalog's vendors and catalog_aliases, leaving out
// the names of another operating system than the one `given` names: each
// name's system is that of its first token (the name cut at anything but
// ASCII letters and digits, case ignored) that kOperatingSystems knows, and
// two names that both have one, and not the same, are never suggested for
// each other (cisco_iosxr is not offered cisco_iosxe, nor ios eos).
std::string vendor_suggestion(const Catalog& catalog, std::string_view given);

// A token of a vendor name that names an operating system, and that system:
// the tokens of one system follow the alias table (xe and iosxe are cisco_ios).
struct OperatingSystemToken {
  std::string_view token;
  std::string_view system;
};

inline constexpr std::array<OperatingSystemToken, 20> kOperatingSystems{{
    {"ios", "ios"},     {"iosxe", "ios"},         {"xe", "ios"},
    {"iosxr", "iosxr"}, {"xr", "iosxr"},          {"nxos", "nxos"},
    {"asa", "asa"},     {"eos", "eos"},           {"junos", "junos"},
    {"aoscx", "aoscx"}, {"procurve", "procurve"}, {"osswitch", "procurve"},
    {"panos", "panos"}, {"fortios", "fortios"},   {"routeros", "routeros"},
    {"vyos", "vyos"},   {"sros", "sros"},         {"comware", "comware"},
    {"exos", "exos"},   {"sonic", "sonic"},
}};

}  // namespace ov
