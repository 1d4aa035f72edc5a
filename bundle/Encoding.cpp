#include <string.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Codec.h"
#include "bundle/Log.h"

namespace status {

namespace {

// The smallest entry: a null key (its length alone) and the kind.
constexpr size_t kMinEntrySize = 2 * sizeof(int32_t);

bool recognised(int32_t type) {
    return static_cast<uint32_t>(type) <= static_cast<uint32_t>(Bundle::TYPE_BUNDLE_ARRAY);
}

void writeEntry(android::Parcel* p, const Bundle::HashNode& node) {
    p->writeString16(android::String16(node.mKey.c_str()));
    p->writeInt32(node.mType);
    if (recognised(node.mType)) codec::encodeValue(p, node);
}

// Reads up to `count` entries into the tree. Entries that the bytes left cannot hold
// are not invented: decoding ends with the data.
void readEntries(const android::Parcel* p, Bundle::HashTree& tree, uint32_t count) {
    for (uint32_t i = 0; i < count && p->dataAvail() >= kMinEntrySize; ++i) {
        const std::string key = Bundle::readString(const_cast<android::Parcel*>(p));
        Bundle::HashNode* node = tree.getNode(key.c_str(), true);
        node->mType = p->readInt32();
        if (!recognised(node->mType)) return;
        if (!codec::decodeValue(p, *node)) return;
    }
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

// In order (ascending hash, newest first among equal hashes) with an explicit stack:
// an unbalanced tree may be as deep as it has entries.
void Bundle::HashTree::serialize(android::Parcel* p, HashNode* node) {
    if (node == nullptr) {
        p->writeInt32(mCount);
        node = mRoot;
    }
    std::vector<const HashNode*> pending;
    const HashNode* current = node;
    while (current != nullptr || !pending.empty()) {
        while (current != nullptr) {
            pending.push_back(current);
            current = current->mLeft;
        }
        current = pending.back();
        pending.pop_back();
        writeEntry(p, *current);
        current = current->mRight;
    }
}

Bundle::Bundle(android::Parcel* p) : mTree(nullptr) {
    const int32_t magic = p->readInt32();
    if (magic != BUNDLE_MAGIC) {
        BUNDLE_LOGE("Invalid magic identifier %08X", static_cast<unsigned>(magic));
        return;
    }
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    if (count == 0) return;
    mTree = new HashTree();
    try {
        readEntries(p, *mTree, count);
    } catch (...) {
        mTree->release();
        throw;
    }
    if (mTree->mCount == 0) {  // nothing could be read: an empty bundle has no tree
        mTree->release();
        mTree = nullptr;
    }
}

std::string Bundle::readString(android::Parcel* p) {
    size_t units = 0;
    const char16_t* text = p->readString16Inplace(&units);
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
    return codec::decodeStored<Bundle>(*node);
}

}  // namespace status
