#include <string.h>

#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Elements.h"
#include "bundle/KeyHash.h"
#include "bundle/NodeCache.h"

namespace status {

namespace {

// Post-order, left before right, in constant stack: while a subtree is being freed,
// each of its ancestors keeps the link to its own parent in mLeft. A tree that is
// never rebalanced can be as deep as it has nodes.
void destroySubtree(Bundle::HashNode* node) {
    if (node == nullptr) return;
    nodes::Cache* cache = nodes::thisThread();
    Bundle::HashNode* parent = nullptr;
    for (;;) {
        while (node != nullptr) {
            Bundle::HashNode* left = node->mLeft;
            node->mLeft = parent;
            parent = node;
            node = left;
        }
        if (parent == nullptr) return;
        if (parent->mRight != nullptr) {
            node = parent->mRight;
            parent->mRight = nullptr;
            continue;
        }
        Bundle::HashNode* done = parent;
        parent = done->mLeft;
        done->mLeft = nullptr;
        // What delete does, with the thread's node cache looked up once per subtree.
        done->~HashNode();
        nodes::give(cache, done);
    }
}

}  // namespace

Bundle::HashNode::HashNode(const char* key)
    : mKey(key),
      mType(TYPE_NONE),
      mSize(0),
      mData(nullptr),
      mHash(0),
      mLeft(nullptr),
      mRight(nullptr) {
    mValue.mInt64 = 0;
}

Bundle::HashNode::~HashNode() {
    destroySubtree(mLeft);
    destroySubtree(mRight);
    elements::release(mData);
}

Bundle::HashTree::HashTree() : mRoot(nullptr), mCount(0), mRefs(1) {}

Bundle::HashTree::~HashTree() {
    clear();
}

void Bundle::HashTree::clear() {
    HashNode* root = mRoot;
    mRoot = nullptr;
    mCount = 0;
    delete root;
}

Bundle::HashNode* Bundle::HashTree::getNode(const char* key, bool create) {
    const size_t len = strlen(key);
    const int32_t hash = keyHash(key, len);
    HashNode** link = &mRoot;
    while (HashNode* node = *link) {
        if (node->mHash == hash && node->mKey.size() == len &&
            memcmp(node->mKey.data(), key, len) == 0) {
            return node;
        }
        // Equal hashes with another key go left, so the newest of them lies deepest.
        link = hash > node->mHash ? &node->mRight : &node->mLeft;
    }
    if (!create) return nullptr;
    HashNode* node = new HashNode(key);
    node->mHash = hash;
    *link = node;
    ++mCount;
    return node;
}

}  // namespace status
