#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/NodeCache.h"

namespace status {

// Builds a decoded tree in time linear in the input, up to one radix sort of the keys'
// hashes, for any key order, collisions and repeats the sender chooses, with the very
// shape and contents that inserting the entries one by one with getNode gives.
//
// That tree is the unbalanced search tree under the order (hash ascending, newest first
// among equal hashes) with the keys inserted oldest first: the Cartesian tree of the
// keys in that order, with creation as the heap order. A key that came before is found
// when it arrives again and its entry decodes into the key's node, as getNode would
// have it; the nodes are sorted by hash once at the end and linked in one pass with a
// stack.
class TreeBuilder {
public:
    explicit TreeBuilder(Bundle::HashTree& tree) : mTree(tree), mCache(nodes::thisThread()) {}
    // Frees the nodes that were never handed to the tree (decoding threw).
    ~TreeBuilder();
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    // Room for the entries that the bytes left can hold at the most.
    void reserve(size_t entries) { mNodes.reserve(entries); }
    // The node the next entry of the stream decodes into: the key's own if it came
    // before, else a new one.
    Bundle::HashNode* add(std::string&& key);
    // Links the nodes into the tree, which must have had none, and sets mCount.
    void finish();

private:
    // The hash table's slots hold a node's index + 1, with kShared set when other keys have
    // its hash too; those are then found in mByKey.
    static constexpr uint32_t kShared = 0x80000000u;
    struct KeySlot {
        uint64_t keyed;  // the key's hash under the process's secret
        uint32_t ref;    // 0: empty, or the node's index + 1
        bool operator==(const KeySlot& other) const {
            return keyed == other.keyed && ref == other.ref;
        }
    };

    Bundle::HashNode* append(std::string&& key, int32_t hash);
    void startIndex();
    void indexPending();
    Bundle::HashNode* findOrAppend(std::string&& key, int32_t hash);
    uint32_t& hashSlot(int32_t hash);
    void placeKey(uint64_t keyed, uint32_t index);
    void link(const std::vector<uint64_t>& order);

    Bundle::HashTree& mTree;
    // Looked up once: reaching thread-local data from a shared library costs a call.
    nodes::Cache* const mCache;
    std::vector<Bundle::HashNode*> mNodes;  // one per key, in order of first arrival
    // Theirs once the keys stop ascending, so that tables and sort touch no node.
    std::vector<int32_t> mHashes;
    // While every key hashes above the one before, no key can repeat and the tree is a
    // chain to the right: the encoder's own order needs neither look-up nor sort.
    bool mAscending = true;
    // A bit per hash seen, eight bits per entry the bytes can hold: a clear bit lets a
    // new hash pass without a look-up in mByHash, which takes the nodes from mIndexed on
    // only when a look-up is due, all at once.
    std::vector<uint64_t> mSeen;
    size_t mIndexed = 0;
    std::vector<uint32_t> mByHash;  // open addressing, at most half full
    std::vector<KeySlot> mByKey;
    size_t mHashesUsed = 0;
    size_t mKeysUsed = 0;
};

}  // namespace status
