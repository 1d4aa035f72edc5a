#include "bundle/TreeBuilder.h"

#include <algorithm>
#include <utility>

#include "bundle/Codec.h"
#include "bundle/KeyHash.h"

namespace status {

namespace {

// Sort keys of the tree order: hash ascending as signed, then the newest entry first.
uint64_t orderKey(int32_t hash, size_t index) {
    const uint32_t biased = static_cast<uint32_t>(hash) ^ 0x80000000u;
    return (static_cast<uint64_t>(biased) << 32) | (UINT32_MAX - static_cast<uint32_t>(index));
}

uint32_t indexOf(uint64_t key) {
    return UINT32_MAX - static_cast<uint32_t>(key);
}

int32_t hashOf(uint64_t key) {
    return static_cast<int32_t>(static_cast<uint32_t>(key >> 32) ^ 0x80000000u);
}

// Sorts keys that are made in descending index order by their hash, stably: four
// counting passes, linear whatever the hashes are. Few keys take a plain sort.
void sortByHash(std::vector<uint64_t>& keys) {
    if (keys.size() < 256) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::vector<uint64_t> sorted(keys.size());
    for (unsigned shift = 32; shift < 64; shift += 8) {
        size_t starts[257] = {};
        for (const uint64_t key : keys) ++starts[((key >> shift) & 0xFF) + 1];
        if (starts[((keys.front() >> shift) & 0xFF) + 1] == keys.size()) continue;  // one digit
        for (size_t digit = 1; digit < 257; ++digit) starts[digit] += starts[digit - 1];
        for (const uint64_t key : keys) sorted[starts[(key >> shift) & 0xFF]++] = key;
        keys.swap(sorted);
    }
}

// An entry of a run of equal hashes, ordered by key, then stream order. The key's first
// sixteen bytes sit in the entry, so that most comparisons touch no node.
struct RunEntry {
    uint64_t head[2];
    const std::string* key;
    uint32_t index;

    static RunEntry of(const std::string& key, uint32_t index) {
        RunEntry entry{{0, 0}, &key, index};
        for (size_t i = 0; i < key.size() && i < 16; ++i) {
            entry.head[i / 8] |= uint64_t{static_cast<unsigned char>(key[i])} << (56 - 8 * (i % 8));
        }
        return entry;
    }
    // Keys hold no NUL, so the zeros after a short key order it first, as compare does.
    bool operator<(const RunEntry& other) const {
        if (head[0] != other.head[0]) return head[0] < other.head[0];
        if (head[1] != other.head[1]) return head[1] < other.head[1];
        const int byKey = key->size() > 16 || other.key->size() > 16 ? key->compare(*other.key) : 0;
        return byKey != 0 ? byKey < 0 : index < other.index;
    }
};

}  // namespace

TreeBuilder::~TreeBuilder() {
    for (Bundle::HashNode* node : mNodes) delete node;  // none is linked yet
}

Bundle::HashNode* TreeBuilder::add(std::string&& key) {
    const int32_t hash = keyHash(key.data(), key.size());
    if (!mNodes.empty() && hash <= mNodes.back()->mHash) mAscending = false;
    mNodes.push_back(nullptr);  // room first, so that the node cannot be lost
    Bundle::HashNode* node = new Bundle::HashNode("");
    node->mKey = std::move(key);
    node->mHash = hash;
    mNodes.back() = node;
    return node;
}

void TreeBuilder::finish() {
    if (mNodes.empty()) return;
    if (mAscending) {
        for (size_t i = 1; i < mNodes.size(); ++i) mNodes[i - 1]->mRight = mNodes[i];
        mTree.mCount = static_cast<int32_t>(mNodes.size());
    } else {
        std::vector<uint64_t> order;
        order.reserve(mNodes.size());
        for (size_t i = mNodes.size(); i-- > 0;) order.push_back(orderKey(mNodes[i]->mHash, i));
        sortByHash(order);
        mergeRepeats(order);
        link(order);
        mTree.mCount = static_cast<int32_t>(order.size());
    }
    mTree.mRoot = mNodes.front();  // the first entry's node is the root either way
    mNodes.clear();
}

// A key can only repeat among equal hashes: each such run is sorted by key, and each
// later entry of a key hands its value to the key's first node, in stream order, as if
// it had been decoded into that node.
void TreeBuilder::mergeRepeats(std::vector<uint64_t>& order) {
    bool merged = false;
    std::vector<RunEntry> run;
    for (size_t begin = 0, end; begin < order.size(); begin = end) {
        end = begin + 1;
        while (end < order.size() && hashOf(order[end]) == hashOf(order[begin])) ++end;
        if (end - begin < 2) continue;
        run.clear();
        for (size_t i = begin; i < end; ++i) {
            const uint32_t index = indexOf(order[i]);
            run.push_back(RunEntry::of(mNodes[index]->mKey, index));
        }
        std::sort(run.begin(), run.end());
        for (size_t i = 1; i < run.size(); ++i) {
            Bundle::HashNode* first = mNodes[run[i - 1].index];
            Bundle::HashNode*& later = mNodes[run[i].index];
            if (first->mKey != later->mKey) continue;
            const bool complete = !mStopped || run[i].index + 1 != mNodes.size();
            codec::replaceValue(*first, *later, complete);
            delete later;
            later = nullptr;
            run[i] = run[i - 1];  // the next repeat hands its value to the same node
            merged = true;
        }
    }
    if (merged) {
        order.erase(
            std::remove_if(order.begin(), order.end(),
                           [this](uint64_t key) { return mNodes[indexOf(key)] == nullptr; }),
            order.end());
    }
}

// In tree order, each node hangs below the newest older node on the right spine built
// so far; the newer nodes it passes become its left subtree.
void TreeBuilder::link(const std::vector<uint64_t>& order) {
    std::vector<uint32_t> spine;
    spine.reserve(order.size());  // the last allocation: linking cannot be interrupted
    for (const uint64_t key : order) {
        const uint32_t index = indexOf(key);
        Bundle::HashNode* below = nullptr;
        while (!spine.empty() && spine.back() > index) {
            below = mNodes[spine.back()];
            spine.pop_back();
        }
        mNodes[index]->mLeft = below;
        if (!spine.empty()) mNodes[spine.back()]->mRight = mNodes[index];
        spine.push_back(index);
    }
}

}  // namespace status
