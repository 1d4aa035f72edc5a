#include "bundle/BundleArray.h"

#include <string.h>
#include <utils/String16.h>

#include "bundle/Codec.h"
#include "bundle/DecodeObserver.h"
#include "bundle/Log.h"

namespace status {

namespace {

void writeEmptyArray(android::Parcel* p) {
    BundleArray().toParcel(p);
}

}  // namespace

BundleArray::BundleArray(android::Parcel* p) {
    decodeBundleArray(p, *this, nullptr);
}

void decodeBundleArray(android::Parcel* p, BundleArray& into, DecodeObserver* observer) {
    if (observer != nullptr && p->dataAvail() < sizeof(int32_t)) {
        observer->problem(DecodeProblem::kNoCount, p->dataPosition(), 0, 0);
    }
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    // Every element needs its class name; the first one missing ends the array, so
    // the loop never outruns the data.
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = observer != nullptr ? p->dataPosition() : 0;
        const std::string name = Bundle::readString(p);
        if (name != BundleArray::BUNDLE_CLASS_NAME) {
            BUNDLE_LOGE("Invalid Bundle Array %s", name.c_str());
            if (observer == nullptr) return;
            if (p->dataAvail() == 0 && name.empty()) {
                observer->problem(DecodeProblem::kShortArray, at, count, i);
            } else {
                observer->problem(DecodeProblem::kBadClassName, at, i, 0);
            }
            return;
        }
        into.mBundles.emplace_back();
        if (observer != nullptr) observer->bundleStarts(p->dataPosition());
        decodeBundle(p, into.mBundles.back(), observer);
        if (observer != nullptr) observer->bundleEnds(p->dataPosition());
    }
}

BundleArray::~BundleArray() {}

int BundleArray::numBundles() const {
    return static_cast<int>(mBundles.size());
}

void BundleArray::toParcel(android::Parcel* p) const {
    p->writeInt32(numBundles());
    const android::String16 className(BUNDLE_CLASS_NAME);
    for (int i = 0; i < numBundles(); ++i) {
        p->writeString16(className);
        mBundles[static_cast<size_t>(i)].toParcel(p);
    }
}

void Bundle::setArray(const char* key, const BundleArray& values) {
    HashNode* node = getTree()->getNode(key, true);
    node->mType = TYPE_BUNDLE_ARRAY;
    bool containsNode = false;
    for (const Bundle& element : values.mBundles) containsNode |= element.mTree == mTree;
    codec::storeEncoded(*node, values, containsNode, writeEmptyArray);
}

BundleArray Bundle::getBundleArray(const char* key) const {
    const HashNode* node = mTree == nullptr ? nullptr : mTree->getNode(key, false);
    if (node == nullptr) return BundleArray();
    return codec::storedValue<BundleArray>(*node);
}

}  // namespace status
