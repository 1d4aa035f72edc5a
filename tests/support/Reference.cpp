#include "support/Reference.h"

#include <string.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include "bundle/Codec.h"
#include "bundle/Elements.h"
#include "bundle/Log.h"
#include "support/LogCapture.h"

namespace testing_support {

using status::Bundle;
using Node = Bundle::HashNode;

namespace {

Bundle decodeByInsertion(android::Parcel& p) {
    const int32_t magic = p.readInt32();
    if (magic != Bundle::BUNDLE_MAGIC) {
        BUNDLE_LOGE("Invalid magic identifier %08X", static_cast<unsigned>(magic));
        return Bundle();
    }
    const uint32_t count = static_cast<uint32_t>(p.readInt32());
    Bundle b;
    for (uint32_t i = 0; i < count && p.dataAvail() >= 8; ++i) {
        const std::string key = Bundle::readString(&p);
        Node* node = b.getTree()->getNode(key.c_str(), true);
        node->mType = p.readInt32();
        if (!status::codec::recognised(node->mType)) break;
        if (!status::codec::decodeValue(&p, *node)) break;
    }
    return b.mTree != nullptr && b.mTree->mCount == 0 ? Bundle() : b;
}

// Trivial elements by their bytes, so that NaNs compare by their bits.
template <class T>
bool sameElements(const Node& a, const Node& b) {
    const T* x = status::elements::of<T>(a);
    const T* y = status::elements::of<T>(b);
    if (x == nullptr || y == nullptr) return x == y;
    if constexpr (std::is_trivially_copyable_v<T>) return memcmp(x, y, a.mSize * sizeof(T)) == 0;
    return std::equal(x, x + a.mSize, y);
}

std::string nodeDifference(const Node& a, const Node& b) {
    if (a.mKey != b.mKey) return "key";
    if (a.mHash != b.mHash) return "hash";
    if (a.mType != b.mType) return "kind " + std::to_string(a.mType);
    if (memcmp(&a.mValue, &b.mValue, sizeof a.mValue) != 0) return "scalar slot";
    if (a.mString != b.mString) return "string";
    if (a.mSize != b.mSize) return "size " + std::to_string(a.mSize);
    if ((a.mData == nullptr) != (b.mData == nullptr)) return "element storage";
    if (a.mData != nullptr &&
        (status::elements::kindOf(a.mData) != status::elements::kindOf(b.mData) ||
         !sameElements<bool>(a, b) || !sameElements<unsigned char>(a, b) ||
         !sameElements<unsigned short>(a, b) || !sameElements<int>(a, b) ||
         !sameElements<double>(a, b) || !sameElements<std::string>(a, b))) {
        return "elements";
    }
    if (bytesOf(a.mParcel) != bytesOf(b.mParcel) ||
        a.mParcel.dataPosition() != b.mParcel.dataPosition()) {
        return "stored bytes";
    }
    return "";
}

}  // namespace

Bundle decodeByInsertion(const Bytes& stream) {
    android::Parcel p;
    load(p, stream);
    return decodeByInsertion(p);
}

std::string treeDifference(const Bundle& got, const Bundle& want) {
    if ((got.mTree == nullptr) != (want.mTree == nullptr)) {
        return got.mTree == nullptr ? "no tree" : "a tree where none was expected";
    }
    if (got.mTree == nullptr) return "";
    if (got.mTree->mCount != want.mTree->mCount) {
        return "mCount " + std::to_string(got.mTree->mCount) + ", expected " +
               std::to_string(want.mTree->mCount);
    }
    std::vector<std::pair<const Node*, const Node*>> pending = {
        {got.mTree->mRoot, want.mTree->mRoot}};
    for (size_t nodes = 0; !pending.empty(); ++nodes) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        if ((a == nullptr) != (b == nullptr)) {
            return "shape, after " + std::to_string(nodes) + " nodes, at " +
                   (a != nullptr ? "extra node " + a->mKey : "missing node " + b->mKey);
        }
        if (a == nullptr) continue;
        const std::string differs = nodeDifference(*a, *b);
        if (!differs.empty()) return "node " + b->mKey + ": " + differs;
        pending.push_back({a->mLeft, b->mLeft});
        pending.push_back({a->mRight, b->mRight});
    }
    return "";
}

Bytes perKindEncoding(const Bundle& bundle) {
    android::Parcel p;
    p.writeInt32(Bundle::BUNDLE_MAGIC);
    p.writeInt32(bundle.mTree == nullptr ? 0 : bundle.mTree->mCount);
    std::vector<const Node*> pending;
    for (const Node* n = bundle.mTree == nullptr ? nullptr : bundle.mTree->mRoot;
         n != nullptr || !pending.empty(); n = n->mRight) {
        for (; n != nullptr; n = n->mLeft) pending.push_back(n);
        n = pending.back();
        pending.pop_back();
        status::codec::writeText(&p, n->mKey);
        p.writeInt32(n->mType);
        if (status::codec::recognised(n->mType)) status::codec::encodeValue(&p, *n);
    }
    return bytesOf(p);
}

std::string decodingDifference(const Bytes& stream) {
    android::Parcel p, q;
    load(p, stream);
    load(q, stream);
    std::vector<LogLine> logs[2];
    std::string differs;
    {
        LogCapture log;
        const Bundle decoded(&p);
        logs[0] = log.lines();
        const Bundle reference = decodeByInsertion(q);
        logs[1] = log.lines();
        logs[1].erase(logs[1].begin(), logs[1].begin() + static_cast<long>(logs[0].size()));
        differs = treeDifference(decoded, reference);
    }
    if (!differs.empty()) return differs;
    if (logs[0] != logs[1]) {
        return "log: " + std::to_string(logs[0].size()) + " lines, expected " +
               std::to_string(logs[1].size());
    }
    if (p.dataPosition() != q.dataPosition()) {
        return "stopped at " + std::to_string(p.dataPosition()) + ", expected " +
               std::to_string(q.dataPosition());
    }
    return "";
}

Bytes encodeOverStaleBytes(const Bundle& b) {
    android::Parcel p;
    for (int i = 0; i < 256; ++i) p.writeInt32(-1);
    p.setDataSize(0);
    b.toParcel(&p);
    return bytesOf(p);
}

std::string encodingDifference(const std::vector<Setting>& settings) {
    const Bundle b = bundleOf(settings);
    const Bytes expected = bundleBytes(settings);
    if (encodeOverStaleBytes(b) != expected) return "toParcel's bytes";
    if (perKindEncoding(b) != expected) return "the per-kind encoders' bytes";
    const std::string decoding = decodingDifference(expected);
    if (!decoding.empty()) return "decoding: " + decoding;
    // Decoding creates the keys in the order they came: a run of one hash comes back
    // reversed.
    if (encode(decode<Bundle>(expected)) != bundleBytes(wireOrder(settings))) {
        return "the decoded bundle";
    }
    return "";
}

}  // namespace testing_support
