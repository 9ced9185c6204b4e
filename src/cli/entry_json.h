// Catalog records as the tool's JSON shows them: every field by its key in
// the vendor file, absent ones as null, a record's extra keys after its own.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/lookup.h"
#include "catalog/records.h"

namespace ov::cli {

using Json = nlohmann::ordered_json;

Json yaml_json(const YamlValue& value);

Json fields_json(const NetconfMapping& record);
Json fields_json(const RestconfMapping& record);
Json fields_json(const GnmiMapping& record);
Json fields_json(const EapiMapping& record);
Json fields_json(const RestApiMapping& record);
Json fields_json(const SnmpMapping& record);
Json fields_json(const DashboardApiMapping& record);

// netconf, restconf, gnmi, eapi, rest_api, snmp, dashboard_api: each null or
// the record's fields.
Json alternatives_json(const ProtocolAlternatives& alternatives);

// What a lookup was asked, as the documents name it.
struct LookupRequest {
  std::string_view vendor;         // the catalog's identifier
  std::string_view firmware;       // as given
  std::string_view firmware_used;  // as looked up
  CommandType command;
};

// vendor, firmware, firmware_used, command, status, applies_to, cli (the text
// to send, `cli` with its placeholders filled, for a Text outcome only) and
// placeholders (those of the stored text).
Json lookup_json(const LookupRequest& request, const LookupOutcome& outcome, std::string_view cli);

// lookup_json, then sample_output, parser_notes, config_required, notes,
// unverified, description and alternatives.
Json show_json(const LookupRequest& request, const LookupOutcome& outcome, std::string_view cli);

}  // namespace ov::cli
