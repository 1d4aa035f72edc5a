#pragma once

#include <binder/Parcel.h>

#include "statusitem/Item.h"

namespace status {

// The library decodes items but has no encoder: this writes, for bundle-inspect and the
// tests, the layout its decoder reads (key, type code, value by type), keeping embedded
// NULs of the texts. A type outside ITEM_BOOL to ITEM_BUNDLE is written without a value.
void writeItem(android::Parcel* p, const Item& item);

}  // namespace status
