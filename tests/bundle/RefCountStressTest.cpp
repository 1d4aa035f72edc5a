// Many threads share one tree through bundle copies, assignments and Java handles; the
// count must come out exact and exactly one release may destroy the tree.

#include <gtest/gtest.h>
#include <jni.h>

#include <atomic>
#include <thread>
#include <vector>

#include "bundle/Bundle.h"
#include "jni/Handle.h"

namespace {

using status::Bundle;
using status::jni::newHandle;
using status::jni::treeOf;

constexpr int kThreads = 8;
constexpr int kOpsPerThread = 1 << 17;  // a million in all
constexpr int kSlots = 4;
constexpr int kValue = 42;

std::atomic<int> gDestroyed{0};

class CountedTree : public Bundle::HashTree {
public:
    ~CountedTree() override { gDestroyed.fetch_add(1); }
};

// Spins rather than blocks, so that the threads leave it together and race.
void arriveAndWait(std::atomic<int>& waiting) {
    waiting.fetch_sub(1);
    while (waiting.load() != 0) std::this_thread::yield();
}

// Every slot runs through assign, copy, wrap and drop in turn, so each step changes
// the count and a thread ends its run holding nothing.
void churn(const Bundle& source, std::atomic<int>& misreads) {
    Bundle slots[kSlots];
    jlong handles[kSlots] = {};
    for (int i = 0; i < kOpsPerThread; ++i) {
        const int s = i % kSlots;
        switch ((i / kSlots) % 4) {
            case 0:
                slots[s] = source;
                break;
            case 1: {
                Bundle copy(slots[s]);
                Bundle assigned;
                assigned = copy;
                if (assigned.getInt32("k") != kValue) misreads.fetch_add(1);
                break;
            }
            case 2: {
                handles[s] = newHandle(slots[s].mTree);
                // What a native does with a handle for the length of one call.
                const Bundle temporary(treeOf(handles[s]));
                if (temporary.getInt32("k") != kValue) misreads.fetch_add(1);
                break;
            }
            case 3:
                slots[s] = Bundle();
                Bundle::nativeFree(nullptr, nullptr, handles[s]);
                handles[s] = 0;
                break;
        }
    }
}

TEST(RefCountStressTest, SharedTreeSurvivesChurnAndDiesOnceAtTheLastRelease) {
    static_assert(kOpsPerThread % (4 * kSlots) == 0, "each thread must end with empty slots");
    gDestroyed = 0;
    auto* tree = new CountedTree;  // the creator's reference
    Bundle source(tree);
    source.set("k", kValue);

    std::atomic<int> misreads{0};
    std::atomic<int> churned{kThreads + 1};
    std::atomic<int> dropAll{kThreads + 1};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        // Each thread's own handle is made here and freed on that thread.
        threads.emplace_back([&, own = newHandle(tree)] {
            churn(source, misreads);
            arriveAndWait(churned);
            arriveAndWait(dropAll);
            Bundle::nativeFree(nullptr, nullptr, own);
        });
    }

    arriveAndWait(churned);
    EXPECT_EQ(tree->mRefs.load(), 2 + kThreads);
    EXPECT_EQ(gDestroyed.load(), 0);
    EXPECT_EQ(misreads.load(), 0);

    // From here the threads race to give back the last references.
    source = Bundle();
    tree->release();
    arriveAndWait(dropAll);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(gDestroyed.load(), 1);
}

}  // namespace
