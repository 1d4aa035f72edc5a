#include "support/Consistency.h"

#include "support/Reads.h"

namespace fuzz {

namespace {

using status::Bundle;
using status::BundleArray;

int32_t countOf(const Bundle& b) {
    return b.mTree == nullptr ? 0 : b.mTree->mCount;
}

template <class T>
T decode(const Bytes& bytes, bool* consumedAll) {
    android::Parcel p;
    load(p, bytes);
    T value(&p);
    *consumedAll = p.dataPosition() == bytes.size();
    return value;
}

size_t firstUnrecognised(const BundleArray& a) {
    for (size_t i = 0; i < a.mBundles.size(); ++i) {
        if (hasUnrecognisedKind(a.mBundles[i])) return i;
    }
    return a.mBundles.size();
}

bool anyHashCollision(const BundleArray& a) {
    for (const Bundle& b : a.mBundles) {
        if (hasHashCollision(b)) return true;
    }
    return false;
}

}  // namespace

bool hasUnrecognisedKind(const Bundle& b) {
    for (const Bundle::HashNode* node : nodesInOrder(b)) {
        if (!isRecognisedKind(node->mType)) return true;
    }
    return false;
}

bool hasHashCollision(const Bundle& b) {
    const std::vector<const Bundle::HashNode*> nodes = nodesInOrder(b);
    for (size_t i = 1; i < nodes.size(); ++i) {
        if (nodes[i]->mHash == nodes[i - 1]->mHash) return true;
    }
    return false;
}

void expectSameReads(const Bundle& original, const Bundle& again) {
    expect(countOf(original) == countOf(again), "same number of entries");
    expect(typedView(original) == typedView(again), "same reads of every entry");
}

void expectPrefixReads(const Bundle& original, const Bundle& again) {
    const View before = typedView(original);
    const View after = typedView(again);
    size_t expected = 0;
    for (const Bundle::HashNode* node : nodesInOrder(original)) {
        ++expected;
        const auto found = after.find(node->mKey);
        expect(found != after.end(), "an entry written before an unrecognised kind is lost");
        expect(found->second == before.at(node->mKey), "same reads of every entry read back");
        if (!isRecognisedKind(node->mType)) break;
    }
    expect(after.size() == expected, "entries after an unrecognised kind are read back");
    expect(static_cast<size_t>(countOf(again)) == expected, "count of the entries read back");
}

void check(const Bundle& decoded, int depth) {
    // Every getter on every key, once; nested values are checked in turn.
    for (const Bundle::HashNode* node : nodesInOrder(decoded)) {
        const char* key = node->mKey.c_str();
        readPlainGetters(decoded, key);
        const Bundle nested = decoded.getBundle(key);
        const BundleArray array = decoded.getBundleArray(key);
        if (depth > 0) {
            check(nested, depth - 1);
            check(array, depth - 1);
        }
    }

    const Bytes e1 = encode(decoded);
    bool consumedAll = false;
    const Bundle d1 = decode<Bundle>(e1, &consumedAll);
    if (hasUnrecognisedKind(decoded)) {
        // The full round trip cannot hold here (see hasUnrecognisedKind).
        expectPrefixReads(decoded, d1);
        return;
    }
    // The typed reads suffice: a fresh decoding leaves no fields of other kinds.
    expect(consumedAll, "the decoder consumes the whole re-encoding");
    const View reads = typedView(d1);
    expect(countOf(decoded) == countOf(d1), "same number of entries");
    expect(typedView(decoded) == reads, "same reads of every entry");

    const Bytes e2 = encode(d1);
    const Bundle d2 = decode<Bundle>(e2, &consumedAll);
    expect(consumedAll, "the decoder consumes the whole second encoding");
    expect(countOf(d2) == countOf(d1), "same number of entries");
    expect(typedView(d2) == reads, "same reads of every entry");
    if (!hasHashCollision(d1)) expect(e2 == e1, "re-encoding gives the same bytes");
    expect(encode(d2) == e1, "a second round gives the same bytes");
}

void check(const BundleArray& decoded, int depth) {
    expect(decoded.numBundles() == static_cast<int>(decoded.mBundles.size()),
           "numBundles counts the elements");

    const Bytes e1 = encode(decoded);
    bool consumedAll = false;
    const BundleArray a1 = decode<BundleArray>(e1, &consumedAll);
    const size_t odd = firstUnrecognised(decoded);
    if (odd < decoded.mBundles.size()) {
        // An element with an unrecognised kind ends its own decoding early, and the
        // rest of its entries are then read as the next class name: from there on
        // nothing holds but the weaker relation for that element.
        expect(a1.mBundles.size() > odd, "elements before an unrecognised kind are lost");
        for (size_t i = 0; i < odd; ++i) expectSameReads(decoded.mBundles[i], a1.mBundles[i]);
        expectPrefixReads(decoded.mBundles[odd], a1.mBundles[odd]);
    } else {
        // Each element's own encoding is checked below, element by element; here the
        // elements must come back whole, to the same bytes.
        expect(consumedAll, "the decoder consumes the whole re-encoding");
        expect(a1.mBundles.size() == decoded.mBundles.size(), "same number of bundles");

        const Bytes e2 = encode(a1);
        const BundleArray a2 = decode<BundleArray>(e2, &consumedAll);
        expect(consumedAll, "the decoder consumes the whole second encoding");
        if (!anyHashCollision(a1)) expect(e2 == e1, "re-encoding gives the same bytes");
        expect(encode(a2) == e1, "a second round gives the same bytes");
    }

    for (const Bundle& element : decoded.mBundles) check(element, depth);
}

}  // namespace fuzz
