// The documents of a lookup, an entry shown whole and a vendor's table, as
// both front ends give them: every record field by its key in the vendor
// file, absent ones as null, a record's extra keys after its own.
#pragma once

#include "base/json.h"
#include "catalog/records.h"
#include "lookup/every_type.h"
#include "lookup/request.h"

namespace ov {

// A record of the vendor-file model, written from the reader's field tables.
template <class R>
Json record_json(const R& record);

// netconf, restconf, gnmi, eapi, rest_api, snmp, dashboard_api: each null or
// the record's fields.
Json alternatives_json(const ProtocolAlternatives& alternatives);

// vendor, firmware, firmware_used, command, status, applies_to, cli (Text
// only: the text to send), placeholders (those of the stored text), and last,
// so that readers of the older keys keep their order, reason (otherwise:
// why there is no text, as a table row has it).
Json lookup_document(const LookupAnswer& answer);

// lookup_document, then sample_output, parser_notes, config_required, notes,
// unverified, description and alternatives.
Json show_document(const LookupAnswer& answer);

// vendor, firmware, firmware_used and commands: each type with its status,
// cli (Text only) and reason (otherwise).
Json table_document(const TableAnswer& answer);

}  // namespace ov
