// BundleArray(android::Parcel*) on arbitrary bytes: no crash, bounded work, and what
// it decoded survives its own encoding.

#include "support/Consistency.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::decodeAndCheck<status::BundleArray>(data, size);
}
