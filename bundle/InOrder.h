#pragma once

#include <stddef.h>

#include <vector>

#include "bundle/Bundle.h"

namespace status {

// The walk's stack: ordinary trees fit in the fixed part, so encoding allocates
// nothing for it; a deeper tree continues on the heap.
class PendingNodes {
public:
    bool empty() const { return mDepth == 0; }
    void push(const Bundle::HashNode* node) {
        if (mDepth < kFixed) {
            mFixed[mDepth] = node;
        } else {
            mMore.push_back(node);
        }
        ++mDepth;
    }
    const Bundle::HashNode* pop() {
        --mDepth;
        if (mDepth < kFixed) return mFixed[mDepth];
        const Bundle::HashNode* node = mMore.back();
        mMore.pop_back();
        return node;
    }

private:
    static constexpr size_t kFixed = 64;
    const Bundle::HashNode* mFixed[kFixed];
    std::vector<const Bundle::HashNode*> mMore;
    size_t mDepth = 0;
};

// Visits the nodes below `root` in order (ascending hash, newest first among equal
// hashes), the encoder's order, with an explicit stack: an unbalanced tree may be as
// deep as it has entries.
template <class Visit>
void forEachInOrder(const Bundle::HashNode* root, Visit visit) {
    PendingNodes pending;
    const Bundle::HashNode* current = root;
    while (current != nullptr || !pending.empty()) {
        while (current != nullptr) {
            pending.push(current);
            current = current->mLeft;
        }
        current = pending.pop();
        visit(*current);
        current = current->mRight;
    }
}

// The nodes of a bundle in the encoder's order, for the inspector and the tests.
inline std::vector<const Bundle::HashNode*> nodesInOrder(const Bundle& b) {
    std::vector<const Bundle::HashNode*> out;
    if (b.mTree != nullptr) {
        forEachInOrder(b.mTree->mRoot, [&out](const Bundle::HashNode& n) { out.push_back(&n); });
    }
    return out;
}

}  // namespace status
