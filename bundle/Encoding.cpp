#include <stdint.h>
#include <string.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <algorithm>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Codec.h"
#include "bundle/DecodeObserver.h"
#include "bundle/InOrder.h"
#include "bundle/Log.h"
#include "bundle/TreeBuilder.h"

namespace status {

namespace {

// The smallest entry: a null key (its length alone) and the kind.
constexpr size_t kMinEntrySize = 2 * sizeof(int32_t);
// The smallest entry the encoder writes: an empty key (length and zero unit) and the kind.
constexpr size_t kMinEntryWireSize = 3 * sizeof(int32_t);

// Reads up to `count` entries into the tree. Entries that the bytes left cannot hold
// are not invented: decoding ends with the data. An observed decoding takes its own
// instance, so that the plain one does not even test for an observer.
template <bool kObserved>
void readEntries(const android::Parcel* p, Bundle::HashTree& tree, uint32_t count,
                 DecodeObserver* observer) {
    TreeBuilder builder(tree);
    builder.reserve(std::min<size_t>(count, p->dataAvail() / kMinEntrySize));
    uint32_t read = 0;
    for (; read < count && p->dataAvail() >= kMinEntrySize; ++read) {
        const size_t at = kObserved ? p->dataPosition() : 0;
        Bundle::HashNode* node =
            builder.add(kObserved ? readObservedText(p, *observer, TextRole::kKey)
                                  : Bundle::readString(const_cast<android::Parcel*>(p)));
        node->mType = p->readInt32();
        if (kObserved) {
            observer->entry(*node, at, p->dataPosition());
            if (!codec::recognised(node->mType)) {
                observer->problem(DecodeProblem::kUnknownKind, at, node->mType, 0);
            } else if (p->dataAvail() < codec::scalarSize(node->mType)) {
                observer->problem(DecodeProblem::kShortValue, p->dataPosition(), 0, 0);
            }
        }
        if (!codec::recognised(node->mType)) break;
        if (!codec::decodeValue(p, *node, observer)) break;
    }
    if (kObserved && read < count && p->dataAvail() < kMinEntrySize) {
        observer->problem(DecodeProblem::kShortCount, p->dataPosition(), count, read);
    }
    builder.finish();
}

// Narrows UTF-16 units (little-endian bytes) into `out` while they are ASCII and not
// zero; returns how many were.
size_t narrowAscii(const char* bytes, size_t units, char* out) {
    size_t plain = 0;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Four units at a time while none is zero or above 0x7F.
    for (; plain + 4 <= units; plain += 4) {
        uint64_t w;
        memcpy(&w, bytes + plain * sizeof(char16_t), sizeof w);
        const uint64_t zeroUnits = (w - 0x0001000100010001u) & ~w & 0x8000800080008000u;
        if ((w & 0xFF80FF80FF80FF80u) != 0 || zeroUnits != 0) break;
        const uint32_t chars = static_cast<uint32_t>(
            (w & 0xFF) | ((w >> 8) & 0xFF00) | ((w >> 16) & 0xFF0000) | ((w >> 24) & 0xFF000000));
        memcpy(out + plain, &chars, sizeof chars);
    }
#endif
    for (; plain < units; ++plain) {
        char16_t unit;
        memcpy(&unit, bytes + plain * sizeof unit, sizeof unit);
        if (unit == 0 || unit >= 0x80) break;
        out[plain] = static_cast<char>(unit);
    }
    return plain;
}

void writeEmptyBundle(android::Parcel* p) {
    Bundle().toParcel(p);
}

}  // namespace

void Bundle::toParcel(android::Parcel* p) const {
    p->writeInt32(BUNDLE_MAGIC);
    if (mTree == nullptr) {
        p->writeInt32(0);
    } else {
        mTree->serialize(p, nullptr);
    }
}

// In order: ascending hash, newest first among equal hashes.
void Bundle::HashTree::serialize(android::Parcel* p, HashNode* node) {
    if (node == nullptr) {
        p->writeInt32(mCount);
        node = mRoot;
        // Room for the smallest entries at once spares most of the parcel's regrowth.
        const size_t count = static_cast<uint32_t>(mCount);
        if (count < (INT32_MAX - p->dataPosition()) / kMinEntryWireSize) {
            p->setDataCapacity(p->dataPosition() + count * kMinEntryWireSize);
        }
    }
    forEachInOrder(node, [p](const HashNode& n) { codec::writeEntry(p, n); });
}

Bundle::Bundle(android::Parcel* p) : mTree(nullptr) {
    decodeBundle(p, *this, nullptr);
}

void decodeBundle(android::Parcel* p, Bundle& into, DecodeObserver* observer) {
    const size_t start = observer != nullptr ? p->dataPosition() : 0;
    const int32_t magic = p->readInt32();
    if (magic != Bundle::BUNDLE_MAGIC) {
        BUNDLE_LOGE("Invalid magic identifier %08X", static_cast<unsigned>(magic));
        if (observer != nullptr) observer->problem(DecodeProblem::kBadMagic, start, magic, 0);
        return;
    }
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    if (count == 0) {
        // A count that was there moved the position past it.
        if (observer != nullptr && p->dataPosition() == start + sizeof(int32_t)) {
            observer->problem(DecodeProblem::kNoCount, p->dataPosition(), 0, 0);
        }
        return;
    }
    Bundle::HashTree* tree = new Bundle::HashTree();
    try {
        if (observer != nullptr) {
            readEntries<true>(p, *tree, count, observer);
        } else {
            readEntries<false>(p, *tree, count, nullptr);
        }
    } catch (...) {
        tree->release();
        throw;
    }
    if (tree->mCount == 0) {  // nothing could be read: an empty bundle has no tree
        tree->release();
        return;
    }
    into.mTree = tree;
}

std::string Bundle::readString(android::Parcel* p) {
    size_t units = 0;
    const char16_t* text = p->readString16Inplace(&units);
    // ASCII text, the common case, narrows unit by unit as it is checked; a zero unit
    // ends it as it ends the converted text. Anything else takes the converter.
    const char* bytes = reinterpret_cast<const char*>(text);
    const auto endsAscii = [bytes, units](size_t plain) {
        if (plain == units) return true;
        char16_t unit;
        memcpy(&unit, bytes + plain * sizeof unit, sizeof unit);
        return unit == 0;
    };
    // A short text is narrowed on the stack and the string made once at its length; a
    // longer one is narrowed in the string itself, cut where a zero unit ends it.
    constexpr size_t kShort = 64;
    if (units <= kShort) {
        char narrow[kShort];
        const size_t plain = narrowAscii(bytes, units, narrow);
        if (endsAscii(plain)) return std::string(narrow, plain);
    } else {
        std::string result(units, '\0');
        const size_t plain = narrowAscii(bytes, units, &result[0]);
        if (endsAscii(plain)) {
            result.resize(plain);
            return result;
        }
    }
    const ssize_t length = utf16_to_utf8_length(text, units);
    if (length < 1) return std::string();  // empty text: the converter writes nothing
    std::string result(static_cast<size_t>(length), '\0');
    utf16_to_utf8(text, units, &result[0]);  // its NUL lands on the string's own
    result.resize(strlen(result.c_str()));   // an embedded zero unit ends the text
    return result;
}

void Bundle::set(const char* key, const Bundle& value) {
    HashNode* node = getTree()->getNode(key, true);
    node->mType = TYPE_BUNDLE;
    codec::storeEncoded(*node, value, value.mTree == mTree, writeEmptyBundle);
}

Bundle Bundle::getBundle(const char* key) const {
    const HashNode* node = mTree == nullptr ? nullptr : mTree->getNode(key, false);
    if (node == nullptr) return Bundle();
    return codec::storedValue<Bundle>(*node);
}

}  // namespace status
