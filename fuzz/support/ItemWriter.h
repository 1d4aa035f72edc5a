#pragma once

#include <binder/Parcel.h>

#include "statusitem/Item.h"

namespace fuzz {

// The writer that producers outside the library use: key, type code, value by type.
// The key and a string value keep their embedded NULs.
void writeItem(android::Parcel* p, const status::Item& item);

}  // namespace fuzz
