#include "bundle/TreeBuilder.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <random>
#include <utility>

#include "bundle/KeyHash.h"
#include "bundle/SipHash.h"

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

// Sorts keys that are made in descending index order by their hash, stably: four
// counting passes, linear whatever the hashes are, with no comparison a sender could
// steer. Few keys are rare here: the encoder's own order needs no sort.
void sortByHash(std::vector<uint64_t>& keys) {
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

// Drawn once per process, so that a sender cannot aim keys at the tables' slots: the
// key of the keyed hash, and the multiplier and offset that place a 32-bit hash.
struct Secret {
    uint64_t k0, k1, multiplier, offset;
};

uint64_t mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

const Secret& secret() {
    static const Secret kSecret = [] {
        uint64_t words[4] = {};
        try {
            std::random_device device;
            for (uint64_t& word : words) word = (uint64_t{device()} << 32) ^ device();
        } catch (...) {
            // No entropy source: the clock and where this process's stack lies.
            uint64_t seed =
                static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
            seed ^= reinterpret_cast<uintptr_t>(&seed);
            for (uint64_t& word : words) word = seed = mix(seed + 0x9e3779b97f4a7c15u);
        }
        return Secret{words[0], words[1], words[2] | 1, words[3]};
    }();
    return kSecret;
}

uint64_t keyedHash(const std::string& key) {
    const Secret& s = secret();
    return sipHash<1, 3>(s.k0, s.k1, key.data(), key.size());
}

unsigned shiftFor(size_t slots) {
    return 64 - static_cast<unsigned>(__builtin_ctzll(slots));
}

size_t hashStart(int32_t hash, size_t slots) {
    const Secret& s = secret();
    return static_cast<size_t>((uint64_t{static_cast<uint32_t>(hash)} * s.multiplier + s.offset) >>
                               shiftFor(slots));
}

size_t keyStart(uint64_t keyed, size_t slots) {
    return static_cast<size_t>(keyed >> shiftFor(slots));
}

// Twice the slots, with every entry placed again.
template <class Slot, class Start>
void grow(std::vector<Slot>& slots, Start start) {
    std::vector<Slot> larger(2 * slots.size(), Slot{});
    const size_t mask = larger.size() - 1;
    for (const Slot& slot : slots) {
        if (slot == Slot{}) continue;
        size_t i = start(slot, larger.size());
        while (!(larger[i] == Slot{})) i = (i + 1) & mask;
        larger[i] = slot;
    }
    slots.swap(larger);
}

}  // namespace

TreeBuilder::~TreeBuilder() {
    for (Bundle::HashNode* node : mNodes) delete node;  // none is linked yet
}

Bundle::HashNode* TreeBuilder::append(std::string&& key, int32_t hash) {
    if (!mAscending) mHashes.push_back(hash);
    mNodes.push_back(nullptr);  // room first, so that the node cannot be lost
    void* memory = nodes::take(mCache, sizeof(Bundle::HashNode));
    Bundle::HashNode* node;
    try {
        node = ::new (memory) Bundle::HashNode("");  // given back by HashNode's delete
    } catch (...) {
        Bundle::HashNode::release(memory);
        throw;
    }
    node->mKey = std::move(key);
    node->mHash = hash;
    mNodes.back() = node;
    return node;
}

Bundle::HashNode* TreeBuilder::add(std::string&& key) {
    const int32_t hash = keyHash(key.data(), key.size());
    if (mAscending) {
        if (mNodes.empty() || hash > mNodes.back()->mHash) return append(std::move(key), hash);
        mAscending = false;
        startIndex();
    }
    return findOrAppend(std::move(key), hash);
}

// The keys so far came in ascending hash order: one key per hash. The tables take room
// at once for as many hashes as the bytes can hold entries, so that they never regrow.
void TreeBuilder::startIndex() {
    const size_t most = std::max(mNodes.capacity(), mNodes.size() + 1);
    mHashes.reserve(most);
    for (const Bundle::HashNode* node : mNodes) mHashes.push_back(node->mHash);
    size_t slots = 16;
    while (slots < 2 * most) slots *= 2;
    mByHash.assign(slots, 0);
    mSeen.assign(slots / 16, 0);  // 8 bits per entry
    for (const int32_t hash : mHashes) {
        const size_t bit = hashStart(hash, 64 * mSeen.size());
        mSeen[bit / 64] |= uint64_t{1} << (bit % 64);
    }
}

// Places the nodes from mIndexed on, whose hashes no other node has. Their slots are
// fetched together first: a run of them costs about one miss, not one each.
void TreeBuilder::indexPending() {
    for (size_t i = mIndexed; i < mHashes.size(); ++i) {
        __builtin_prefetch(&mByHash[hashStart(mHashes[i], mByHash.size())]);
    }
    for (; mIndexed < mHashes.size(); ++mIndexed) {
        hashSlot(mHashes[mIndexed]) = static_cast<uint32_t>(mIndexed + 1);
        if (2 * ++mHashesUsed > mByHash.size()) {
            grow(mByHash, [this](uint32_t ref, size_t n) {
                return hashStart(mHashes[(ref & ~kShared) - 1], n);
            });
        }
    }
}

uint32_t& TreeBuilder::hashSlot(int32_t hash) {
    const size_t mask = mByHash.size() - 1;
    size_t i = hashStart(hash, mByHash.size());
    while (mByHash[i] != 0 && mHashes[(mByHash[i] & ~kShared) - 1] != hash) i = (i + 1) & mask;
    return mByHash[i];
}

void TreeBuilder::placeKey(uint64_t keyed, uint32_t index) {
    if (2 * (mKeysUsed + 1) > mByKey.size()) {
        if (mByKey.empty()) {
            mByKey.assign(16, KeySlot{});
        } else {
            grow(mByKey, [](const KeySlot& s, size_t n) { return keyStart(s.keyed, n); });
        }
    }
    const size_t mask = mByKey.size() - 1;
    size_t i = keyStart(keyed, mByKey.size());
    while (mByKey[i].ref != 0) i = (i + 1) & mask;
    mByKey[i] = KeySlot{keyed, index + 1};
    ++mKeysUsed;
}

// A key can only repeat among equal hashes. A hash that one key has leads straight to
// it; keys that share a hash are told apart by their keyed hash, and compared whole
// only when that is equal too, so no order of theirs costs more than their bytes.
Bundle::HashNode* TreeBuilder::findOrAppend(std::string&& key, int32_t hash) {
    const size_t bit = hashStart(hash, 64 * mSeen.size());
    uint64_t& word = mSeen[bit / 64];
    if ((word & uint64_t{1} << (bit % 64)) == 0) {
        word |= uint64_t{1} << (bit % 64);
        return append(std::move(key), hash);
    }
    indexPending();
    const uint32_t index = static_cast<uint32_t>(mNodes.size());
    uint32_t& slot = hashSlot(hash);
    if (slot == 0) {
        Bundle::HashNode* node = append(std::move(key), hash);
        indexPending();
        return node;
    }
    const uint64_t keyed = keyedHash(key);
    if ((slot & kShared) == 0) {
        Bundle::HashNode* only = mNodes[slot - 1];
        if (only->mKey == key) return only;
        placeKey(keyedHash(only->mKey), slot - 1);
        slot |= kShared;
    } else {
        const size_t mask = mByKey.size() - 1;
        for (size_t i = keyStart(keyed, mByKey.size()); mByKey[i].ref != 0; i = (i + 1) & mask) {
            if (mByKey[i].keyed != keyed) continue;
            Bundle::HashNode* node = mNodes[mByKey[i].ref - 1];
            if (node->mHash == hash && node->mKey == key) return node;
        }
    }
    Bundle::HashNode* node = append(std::move(key), hash);
    placeKey(keyed, index);
    mIndexed = mNodes.size();  // its hash has its slot already
    return node;
}

void TreeBuilder::finish() {
    std::vector<uint64_t>().swap(mSeen);  // repeats are all found: room for the sort
    std::vector<uint32_t>().swap(mByHash);
    std::vector<KeySlot>().swap(mByKey);
    if (mNodes.empty()) return;
    if (mAscending) {
        for (size_t i = 1; i < mNodes.size(); ++i) mNodes[i - 1]->mRight = mNodes[i];
    } else {
        std::vector<uint64_t> order;
        order.reserve(mNodes.size());
        for (size_t i = mNodes.size(); i-- > 0;) order.push_back(orderKey(mHashes[i], i));
        sortByHash(order);
        link(order);
    }
    mTree.mCount = static_cast<int32_t>(mNodes.size());
    mTree.mRoot = mNodes.front();  // the first entry's node is the root either way
    mNodes.clear();
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
