#include "catalog/record_shape.h"

#include "catalog/record_model.h"

namespace ov {

const RecordShape& vendor_file_shape() { return record_shape<VendorFile>(); }

}  // namespace ov
