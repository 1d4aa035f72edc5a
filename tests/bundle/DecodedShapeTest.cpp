// The decoder builds its tree without walking it, so each stream here is decoded and
// held node for node to the tree that getNode gives when the same entries are set one
// by one: every key order a sender may choose, hash collisions, repeated keys, and
// streams that stop in the middle.

#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <string.h>
#include <utils/String16.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Elements.h"
#include "support/KeyOrders.h"

using android::Parcel;
using status::Bundle;
using Node = Bundle::HashNode;
using namespace testing_support;

namespace {

// ---- key families

Keys numbered(size_t count) {
    Keys keys;
    for (size_t i = 0; i < count; ++i) keys.push_back("key." + std::to_string(i * 7919));
    return keys;
}

Keys smallGroups() {
    Keys keys;
    for (int g = 0; g < 300; ++g) {
        for (const std::string& key : oneHash(2, "g" + std::to_string(g), 2)) keys.push_back(key);
    }
    return keys;
}

// "kniswjwasi" hashes to 0, so copies of it in front of a key leave the key's hash as it
// was: keys of one hash that share long prefixes, differ in length, or are prefixes of
// each other.
Keys longSharedPrefixes() {
    const std::string zero = "kniswjwasi";
    Keys keys;
    std::string prefix;
    for (int copies = 0; copies < 40; ++copies, prefix += zero) {
        for (const std::string& tail : oneHash(2, "", 2)) keys.push_back(prefix + tail);
        keys.push_back(prefix + "a");
        keys.push_back(prefix + "\x03\x04");  // 3 * 31 + 4 = 'a'
        keys.push_back(prefix);
    }
    return keys;
}

// ---- orders

// The order the encoder writes the keys in after they were set in random order.
Keys encoderOrder(const Keys& keys) {
    Bundle b;
    for (const std::string& key : shuffled(keys, 5)) b.set(key.c_str(), 0);
    Keys out;
    std::vector<const Node*> pending;
    for (const Node* n = b.mTree->mRoot; n != nullptr || !pending.empty(); n = n->mRight) {
        for (; n != nullptr; n = n->mLeft) pending.push_back(n);
        n = pending.back();
        pending.pop_back();
        out.push_back(n->mKey);
    }
    return out;
}

// A chain of keys, then its deepest key again and again between new ones.
Keys deepestRepeated(const Keys& keys) {
    Keys out = byHash(keys);
    const std::string deepest = out.back();
    for (size_t i = 0; i < 400; ++i) out.push_back(i % 3 ? deepest : "new." + std::to_string(i));
    return out;
}

Keys randomRepeats(const Keys& keys) {
    std::mt19937 random(9);
    Keys out;
    for (size_t i = 0; i < 2 * keys.size(); ++i) out.push_back(keys[random() % keys.size()]);
    return out;
}

// ---- streams with their reference

// Writes entries to a stream and makes the same changes to a reference tree through
// the setters, which insert key by key with getNode.
struct Stream {
    Parcel parcel;
    Bundle reference;

    void head(const std::string& key, int32_t kind) {
        parcel.writeString16(android::String16(key.c_str()));
        parcel.writeInt32(kind);
    }
    // The kinds take turns, so that a repeated key changes kind and keeps the fields of
    // kinds it no longer has.
    void add(const std::string& key, int32_t i) {
        const char* k = key.c_str();
        switch (i % 6) {
            case 0:
                head(key, Bundle::TYPE_INT32);
                parcel.writeInt32(i);
                reference.set(k, static_cast<int>(i));
                break;
            case 1:
                head(key, Bundle::TYPE_STRING);
                parcel.writeString16(android::String16(std::to_string(i).c_str()));
                reference.set(k, std::to_string(i).c_str());
                break;
            case 2:
                head(key, Bundle::TYPE_BOOL);
                parcel.writeInt32(i & 8);
                reference.set(k, (i & 8) != 0);
                break;
            case 3:
                head(key, Bundle::TYPE_DOUBLE);
                parcel.writeDouble(i / 3.0);
                reference.set(k, i / 3.0);
                break;
            case 4: {
                const int elements[] = {i, -i};
                head(key, Bundle::TYPE_INT_ARRAY);
                parcel.writeInt32(2);
                parcel.writeInt32(i);
                parcel.writeInt32(-i);
                reference.setArray(k, 2, elements);
                break;
            }
            default: {
                Bundle nested;
                nested.set("i", static_cast<int>(i));
                Parcel bytes;
                nested.toParcel(&bytes);
                head(key, Bundle::TYPE_BUNDLE);
                parcel.writeInt32(static_cast<int32_t>(bytes.dataSize()));
                parcel.appendFrom(&bytes, 0, bytes.dataSize());
                reference.set(k, nested);
            }
        }
    }
    // An entry that ends the decoding: it keeps its kind and what the decoder had done.
    Node& stop(const std::string& key, int32_t kind) {
        head(key, kind);
        Node& n = *reference.getTree()->getNode(key.c_str(), true);
        n.mType = kind;
        return n;
    }
};

enum class Ending { kNone, kUnknownKind, kNestedTooLong, kArrayTooLong };

void fill(Stream& s, const Keys& keys, Ending ending) {
    s.parcel.writeInt32(Bundle::BUNDLE_MAGIC);
    s.parcel.writeInt32(static_cast<int32_t>(keys.size() + 3));
    const size_t stop = ending == Ending::kNone ? keys.size() : keys.size() / 2;
    for (size_t i = 0; i < stop; ++i) s.add(keys[i], static_cast<int32_t>(i));
    // The stopping entry repeats a key that had a value of its kind, or is a new key.
    const std::string& last = keys[ending == Ending::kNestedTooLong  ? 5
                                   : ending == Ending::kArrayTooLong ? 4
                                                                     : stop % keys.size()];
    switch (ending) {
        case Ending::kNone:
            break;
        case Ending::kUnknownKind:
            s.stop(last, 99);
            break;
        case Ending::kNestedTooLong:
            s.stop(last, Bundle::TYPE_BUNDLE);
            s.parcel.writeInt32(1 << 20);
            break;
        case Ending::kArrayTooLong:
            status::elements::adopt(s.stop(last, Bundle::TYPE_INT_ARRAY), nullptr, 0);
            s.parcel.writeInt32(1 << 20);
            break;
    }
    for (size_t i = stop; i < keys.size(); ++i) s.parcel.writeInt32(0);  // never read
    s.parcel.setDataPosition(0);
}

void expectSameTree(const Node* decoded, const Node* reference) {
    std::vector<std::pair<const Node*, const Node*>> pending = {{decoded, reference}};
    size_t nodes = 0;
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        ASSERT_EQ(a == nullptr, b == nullptr) << "after " << nodes << " nodes";
        if (a == nullptr) continue;
        ++nodes;
        ASSERT_EQ(a->mKey, b->mKey);
        ASSERT_EQ(a->mHash, b->mHash);
        ASSERT_EQ(a->mType, b->mType) << a->mKey;
        ASSERT_EQ(a->mValue.mInt64, b->mValue.mInt64) << a->mKey;
        ASSERT_EQ(a->mString, b->mString) << a->mKey;
        ASSERT_EQ(a->mSize, b->mSize) << a->mKey;
        const int* elements = status::elements::of<int>(*a);
        ASSERT_EQ(elements == nullptr, status::elements::of<int>(*b) == nullptr) << a->mKey;
        if (elements != nullptr) {
            ASSERT_EQ(memcmp(elements, status::elements::of<int>(*b), a->mSize * sizeof(int)), 0);
        }
        ASSERT_EQ(a->mParcel.dataSize(), b->mParcel.dataSize()) << a->mKey;
        if (a->mParcel.dataSize() != 0) {
            ASSERT_EQ(memcmp(a->mParcel.data(), b->mParcel.data(), a->mParcel.dataSize()), 0);
        }
        pending.push_back({a->mLeft, b->mLeft});
        pending.push_back({a->mRight, b->mRight});
    }
}

}  // namespace

TEST(DecodedShapeTest, EveryOrderGivesTheTreeOfKeyByKeyInsertion) {
    const Keys plain = numbered(1500);
    const Keys few = numbered(40);
    const Keys collisions = oneHash(10, "", 2);
    const Keys prefixed = oneHash(7, std::string(300, 'p'), 2);
    const Keys groups = smallGroups();
    const Keys prefixes = longSharedPrefixes();
    ASSERT_EQ(hashOf(prefixes.back() + "\x03\x04"), hashOf("a"));
    const std::vector<std::pair<const char*, std::function<Keys(const Keys&)>>> orders = {
        {"random", [](const Keys& k) { return shuffled(k, 1); }},
        {"ascending", byHash},
        {"descending", descending},
        {"converging", converging},
        {"ends then descending", endsThenDescending},
        {"scattered", scattered},
        {"encoder order", encoderOrder},
        {"deepest repeated", deepestRepeated},
        {"random repeats", randomRepeats},
    };
    for (const Keys* keys : {&plain, &few, &collisions, &prefixed, &groups, &prefixes}) {
        for (const auto& [name, order] : orders) {
            for (Ending ending : {Ending::kNone, Ending::kUnknownKind, Ending::kNestedTooLong,
                                  Ending::kArrayTooLong}) {
                SCOPED_TRACE(std::string(name) + ", " + keys->front() + "..., ending " +
                             std::to_string(static_cast<int>(ending)));
                Stream s;
                fill(s, order(*keys), ending);
                Bundle decoded(&s.parcel);
                ASSERT_NE(decoded.mTree, nullptr);
                EXPECT_EQ(decoded.mTree->mCount, s.reference.mTree->mCount);
                expectSameTree(decoded.mTree->mRoot, s.reference.mTree->mRoot);
            }
        }
    }
}
