// One raw value of a template turned into its typed form by its field's kind.
// Every function gives null for empty text and for text its kind cannot read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "reading/record_schema.h"

namespace ov::reading {

// "aabb.ccdd.eeff", "aa:bb:cc:dd:ee:ff", "aa-bb-cc-dd-ee-ff", "aabbcc-ddeeff",
// "aabbccddeeff" as "AA:BB:CC:DD:EE:FF".
std::optional<std::string> normal_mac(std::string_view text);

// "123", "hh:mm:ss", "mm:ss", "1d02h", "2w3d", "1h2m3s", "1 day, 2 hours" in seconds.
std::optional<long long> duration_seconds(std::string_view text);

// "1-5,7 10" as 1 to 5, 7 and 10; "none" as none; "all" as 1 to 4094.
// Nothing for text that is not such a list or names more than 4094 VLANs.
std::optional<std::vector<int>> vlan_list(std::string_view text);

// "1000", "1Gb/s", "10G", "100M", "a-1000", "25000 Mbit" in Mbit/s.
std::optional<long long> speed_mbits(std::string_view text);

// "10.0.0.1/24" or "10.0.0.1 255.255.255.0" as "10.0.0.1/24"; IPv6 kept.
std::optional<std::string> address_prefix(std::string_view text);

// The typed value of `field` for the raw `texts` (one for a plain value, the
// items of a List), as JSON.
Json typed_value(const FieldSpec& field, const std::vector<std::string>& texts);

}  // namespace ov::reading
