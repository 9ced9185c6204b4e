#include "reports/vendor_list.h"

#include "lookup/user_names.h"

namespace ov {

Json vendors_json(const Catalog& catalog) {
  Json rows = Json::array();
  for (const VendorFile& file : catalog.files()) {
    rows.push_back({{"vendor", file.vendor},
                    {"display_name", file.display_name},
                    {"manufacturer", file.manufacturer},
                    {"product_family", file.product_family},
                    {"commands", file.commands.size()}});
  }
  return rows;
}

Json aliases_json(const Catalog& catalog) {
  Json rows = Json::array();
  for (const VendorAlias& row : catalog_aliases(catalog)) {
    rows.push_back({{"alias", row.alias}, {"vendor", row.vendor}});
  }
  return rows;
}

}  // namespace ov
