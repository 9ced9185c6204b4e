// The vendors of a catalog and the other names users give them, as documents.
#pragma once

#include "base/json.h"
#include "catalog/catalog.h"

namespace ov {

// A list of vendor, display_name, manufacturer, product_family and commands
// (how many blocks), in catalog order.
Json vendors_json(const Catalog& catalog);

// A list of alias and vendor: the aliases `catalog` gives effect to, in the
// order of the alias table.
Json aliases_json(const Catalog& catalog);

}  // namespace ov
