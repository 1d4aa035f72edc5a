// Bundle(android::Parcel*) on arbitrary bytes: no crash, bounded work, and what it
// decoded survives its own encoding.

#include <stddef.h>
#include <stdint.h>

#include "bundle/Bundle.h"
#include "support/Consistency.h"
#include "support/Parcels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    android::Parcel p;
    fuzz::load(p, data, size);
    const status::Bundle decoded(&p);
    fuzz::expect(p.dataPosition() <= size, "the decoder stays within the data");
    fuzz::checkBundle(decoded, fuzz::kNestingDepth);
    return 0;
}
