// Item(android::Parcel*) on arbitrary bytes: nothing but the int 2 leaves it, and an
// item read back through the producers' writer is the same item.

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <optional>

#include "statusitem/Item.h"
#include "support/Consistency.h"
#include "support/Parcels.h"

namespace {

using fuzz::encode;
using status::Item;

// Decodes an item that must not throw, noting whether every byte was consumed.
Item decode(const fuzz::Bytes& bytes, bool* consumedAll) {
    android::Parcel p;
    fuzz::load(p, bytes);
    try {
        Item item(&p);
        *consumedAll = p.dataPosition() == bytes.size();
        return item;
    } catch (int) {
        fuzz::fail("a written item of a valid type throws");
    }
}

// The int 2 is thrown after the key and the type, for a type outside 0 to 4 only.
void expectRejected(const uint8_t* data, size_t size, size_t position) {
    android::Parcel p;
    fuzz::load(p, data, size);
    size_t units = 0;
    p.readString16Inplace(&units);
    const uint32_t type = p.readUint32();
    fuzz::expect(type > Item::ITEM_BUNDLE, "the int 2 for a valid type");
    fuzz::expect(p.dataPosition() == position, "the int 2 leaves the position after the type");
}

bool sameValue(const Item& a, const Item& b) {
    switch (a.mType) {
        case Item::ITEM_BOOL:
            return a.mValue.mBool == b.mValue.mBool;
        case Item::ITEM_LONG:
            return a.mValue.mInt64 == b.mValue.mInt64;
        case Item::ITEM_DOUBLE:
            return memcmp(&a.mValue.mDouble, &b.mValue.mDouble, sizeof(double)) == 0;
        case Item::ITEM_STRING:
            return a.mString == b.mString;
        default:
            return true;  // a bundle value is compared by its bytes and its reads below
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    android::Parcel p;
    fuzz::load(p, data, size);
    std::optional<Item> decoded;
    try {
        decoded.emplace(&p);
    } catch (int code) {
        fuzz::expect(code == 2, "the only code thrown is 2");
        expectRejected(data, size, p.dataPosition());
        return 0;
    }
    const Item& item = *decoded;
    fuzz::expect(p.dataPosition() <= size, "the decoder stays within the data");
    fuzz::expect(static_cast<uint32_t>(item.mType) <= Item::ITEM_BUNDLE, "a valid type");
    const bool bundleValue = item.mType == Item::ITEM_BUNDLE;
    fuzz::expect(bundleValue || item.mBundle.mTree == nullptr, "a bundle only for type 4");

    const fuzz::Bytes e1 = encode(item);
    bool consumedAll = false;
    const Item again = decode(e1, &consumedAll);
    fuzz::expect(again.mKey == item.mKey, "the same key");
    fuzz::expect(again.mType == item.mType, "the same type");
    fuzz::expect(sameValue(item, again), "the same value");
    if (bundleValue && fuzz::hasUnrecognisedKind(item.mBundle)) {
        // Such a bundle loses what follows its unrecognised entry (see Consistency.h).
        fuzz::expectPrefixReads(item.mBundle, again.mBundle);
    } else {
        // A bundle value comes back from its own encoding, whose reads check
        // compares below; here it must come back whole, to the same bytes.
        fuzz::expect(consumedAll, "the decoder consumes the whole re-encoding");
        const fuzz::Bytes e2 = encode(again);
        const Item third = decode(e2, &consumedAll);
        fuzz::expect(consumedAll, "the decoder consumes the whole second encoding");
        if (!fuzz::hasHashCollision(again.mBundle)) {
            fuzz::expect(e2 == e1, "re-encoding gives the same bytes");
        }
        fuzz::expect(encode(third) == e1, "a second round gives the same bytes");
    }
    if (bundleValue) fuzz::check(item.mBundle, fuzz::kNestingDepth);
    return 0;
}
