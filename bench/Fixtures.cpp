#include "bench/Fixtures.h"

#include <binder/Parcel.h>

#include <map>
#include <memory>

#include "bench/BundleOps.h"
#include "bench/PeerOps.h"

namespace bench {

namespace {

std::vector<Entry> entriesOf(Set set, size_t n) {
    switch (set) {
        case Set::Mixed:
            return mixed(n);
        case Set::Arrays:
            return arrayHeavy(n);
        case Set::Ascending:
            return ascendingHash(n);
        case Set::Ordinary:
            return ordinaryInts(n);
    }
    return {};
}

std::unique_ptr<Fixture> make(Set set, size_t n) {
    auto f = std::make_unique<Fixture>();
    f->entries = entriesOf(set, n);
    f->bundle = build(f->entries);
    android::Parcel parcel;
    f->bundle.toParcel(&parcel);
    f->encoded.assign(parcel.data(), parcel.data() + parcel.dataSize());
    msgpack::sbuffer packed;
    peer::pack(f->entries, packed);
    f->packed.assign(packed.data(), packed.data() + packed.size());
    flexbuffers::Builder fbb;
    peer::build(f->entries, fbb);
    f->flex = fbb.GetBuffer();
    return f;
}

}  // namespace

const Fixture& fixture(Set set, size_t n) {
    static std::map<std::pair<Set, size_t>, std::unique_ptr<Fixture>> cache;
    std::unique_ptr<Fixture>& slot = cache[{set, n}];
    if (!slot) slot = make(set, n);
    return *slot;
}

const char* nameOf(Set set) {
    switch (set) {
        case Set::Mixed:
            return "mixed";
        case Set::Arrays:
            return "arrays";
        case Set::Ascending:
            return "ascending";
        case Set::Ordinary:
            return "ordinary";
    }
    return "?";
}

}  // namespace bench
