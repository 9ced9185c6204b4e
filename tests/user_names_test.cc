#include "lookup/user_names.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace ov {
namespace {

Catalog catalog_of(std::initializer_list<const char*> vendors) {
  Catalog catalog;
  for (const char* name : vendors) {
    VendorFile file;
    file.vendor = name;
    catalog.insert(std::move(file));
  }
  return catalog;
}

TEST(FirmwareToLookUp, DevicesReportsBecomeTheVersionTheLookupReads) {
  const std::pair<std::string_view, std::string_view> rows[] = {
      // ProCurve / ArubaOS-Switch release codes.
      {"KB.16.11.0012", "16.11.0012"},
      {"WC.16.10.0021", "16.10.0021"},
      {"YA.16.02.0012", "16.02.0012"},
      {"K.15.18.0013", "15.18.0013"},
      // Meraki tags, and a leading v or Version.
      {"switch-15-21", "15.21"},
      {"MS 15.21.1", "15.21.1"},
      {"v4.22.1F", "4.22.1F"},
      {"V16.12.4", "16.12.4"},
      {"Version 10.4R3", "10.4R3"},
      // What already reads stays, the AOS-CX codes included.
      {"FL.10.13.1000", "FL.10.13.1000"},
      {" 4.22 ", " 4.22 "},
      // What still does not read is kept as given, for its refusal.
      {"KB.x", "KB.x"},
      {"switch-", "switch-"},
      {"vx", "vx"},
      {"ABC.16.1", "ABC.16.1"},
  };
  for (const auto& [given, used] : rows) EXPECT_EQ(firmware_to_look_up(given), used) << given;
}

TEST(CatalogVendor, AliasesNeverHideAVendorOfTheirName) {
  Catalog catalog;
  for (const char* name : {"arista_eos", "juniper", "juniper_junos"}) {
    VendorFile file;
    file.vendor = name;
    catalog.insert(std::move(file));
  }
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"eos", "arista_eos"},  {"junos", "juniper_junos"},
      {"juniper", "juniper"}, {"nxos", "nxos"},  // its vendor is not in this catalog
      {"EOS", "EOS"},         {"nobody", "nobody"},
  };
  for (const auto& [name, vendor] : rows) EXPECT_EQ(catalog_vendor(catalog, name), vendor) << name;
}

TEST(LookupKey, IosXe3ReleasesAsTheirIos15CounterpartOnCiscoIosOnly) {
  Catalog catalog;
  for (const char* name : {"cisco_ios", "arista_eos"}) {
    VendorFile file;
    file.vendor = name;
    catalog.insert(std::move(file));
  }
  struct Row {
    std::string_view vendor, firmware;
    bool exact;
    std::string_view used;
  };
  const Row rows[] = {
      {"cisco_xe", "03.06.06E", false, "15.2(2)E6"},
      {"cisco_ios", " 3.7.4E", false, "15.2(3)E4"},
      {"cisco_ios", "03.06.06E", true, "03.06.06E"},
      {"arista_eos", "03.06.06E", false, "03.06.06E"},
      {"cisco_ios", "16.12.4", false, "16.12.4"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(lookup_key(catalog, row.vendor, row.firmware, row.exact).firmware, row.used)
        << row.vendor << " " << row.firmware;
  }
}

TEST(DidYouMean, NamesTheClosestWithinTwoEdits) {
  const std::string_view names[] = {"arista_eos", "cisco_ios", "cisco_nxos", "eos"};
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"Arista_EOS", " (did you mean arista_eos?)"},  // another case only
      {"cisco_iox", " (did you mean cisco_ios?)"},
      {"cisco_xos", " (did you mean cisco_ios or cisco_nxos?)"},  // equally close
      {"cisco", ""},                                              // too far from both
      {"eos", ""},                                                // never the name refused itself
      {"", ""},
  };
  for (const auto& [given, suggestion] : rows) EXPECT_EQ(did_you_mean(given, names), suggestion);
}

TEST(CatalogAliases, OnlyThoseWhoseVendorIsLoadedAndNotHidden) {
  const Catalog catalog = catalog_of({"cisco_ios", "juniper", "juniper_junos"});
  std::vector<std::string_view> aliases;
  for (const VendorAlias& alias : catalog_aliases(catalog)) aliases.push_back(alias.alias);
  EXPECT_EQ(aliases, (std::vector<std::string_view>{"cisco_xe", "cisco_iosxe", "ios", "junos"}));
}

TEST(VendorSuggestion, NeitherAliasesOfAbsentVendorsNorAnotherOperatingSystem) {
  const Catalog catalog = catalog_of({"cisco_ios", "cisco_nxos", "juniper"});
  const std::pair<std::string_view, std::string_view> rows[] = {
      // eos and junos name vendors not loaded; ios and nxos are other systems.
      {"eos", ""},
      {"junoss", ""},
      {"cisco_iosxr", ""},
      {"cisco-IOSXR", ""},
      {"cisco_iox", " (did you mean cisco_ios?)"},
      {"Cisco_NXOS", " (did you mean cisco_nxos?)"},
      {"nxos_sh", " (did you mean nxos_ssh?)"},
      // The vendor juniper hides the alias of its name: offered once.
      {"junipr", " (did you mean juniper?)"},
  };
  for (const auto& [given, suggestion] : rows) {
    EXPECT_EQ(vendor_suggestion(catalog, given), suggestion) << given;
  }
}

}  // namespace
}  // namespace ov
