#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"

namespace status {

// Builds a decoded tree in O(n log n) for any key order, collisions and repeats the
// sender chooses, with the very shape and contents that inserting the entries one by
// one with getNode gives.
//
// That tree is the unbalanced search tree under the order (hash ascending, newest first
// among equal hashes) with the keys inserted oldest first: the Cartesian tree of the
// keys in that order, with creation as the heap order. Each entry is decoded into a
// node of its own; one sort then finds repeated keys (only among equal hashes), whose
// later values are moved into the key's first node, and orders the nodes for one pass
// with a stack that links them.
class TreeBuilder {
public:
    explicit TreeBuilder(Bundle::HashTree& tree) : mTree(tree) {}
    // Frees the nodes that were never handed to the tree (decoding threw).
    ~TreeBuilder();
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    // Room for the entries that the bytes left can hold at the most.
    void reserve(size_t entries) { mNodes.reserve(entries); }
    // A node for the next entry of the stream.
    Bundle::HashNode* add(std::string&& key);
    // The last entry ended the decoding before its value was complete.
    void stopped() { mStopped = true; }
    // Links the nodes into the tree, which must have had none, and sets mCount.
    void finish();

private:
    void mergeRepeats(std::vector<uint64_t>& order);
    void link(const std::vector<uint64_t>& order);

    Bundle::HashTree& mTree;
    std::vector<Bundle::HashNode*> mNodes;  // in stream order
    // While every key hashes above the one before, no key can repeat and the tree is a
    // chain to the right: the encoder's own order needs neither sort nor merge.
    bool mAscending = true;
    bool mStopped = false;
};

}  // namespace status
