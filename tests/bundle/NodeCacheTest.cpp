#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/NodeCache.h"

#ifdef STATUS_NODE_CACHE_ASAN
#include <sanitizer/asan_interface.h>
#endif

using status::Bundle;
using status::nodes::cachedOnThisThread;
using status::nodes::kCachedPerThread;

namespace {

// Each case runs on a thread of its own, whose cache starts empty and is emptied when
// it ends: under LeakSanitizer a thread that left nodes behind fails the suite.
template <class Body>
void onNewThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(NodeCacheTest, KeepsFreedNodesUpToItsBoundAndHandsThemOutAgain) {
    onNewThread([] {
        std::vector<Bundle::HashNode*> nodes;
        for (size_t i = 0; i < kCachedPerThread + 10; ++i)
            nodes.push_back(new Bundle::HashNode("k"));
        EXPECT_EQ(0u, cachedOnThisThread());
        for (Bundle::HashNode* node : nodes) delete node;
        EXPECT_EQ(kCachedPerThread, cachedOnThisThread());

        // The last node kept is the first handed out, constructed anew.
        Bundle::HashNode* last = nodes[kCachedPerThread - 1];
        Bundle::HashNode* again = new Bundle::HashNode("again");
        EXPECT_EQ(last, again);
        EXPECT_EQ("again", again->mKey);
        EXPECT_EQ(nullptr, again->mRight);
        EXPECT_EQ(kCachedPerThread - 1, cachedOnThisThread());
        delete again;
    });
}

TEST(NodeCacheTest, ADestroyedTreeFillsTheCacheOnceAndADecodedOneTakesFromIt) {
    onNewThread([] {
        android::Parcel parcel;
        {
            Bundle b;
            for (int i = 0; i < 200; ++i) b.set(("key" + std::to_string(i)).c_str(), i);
            b.toParcel(&parcel);
        }
        EXPECT_EQ(kCachedPerThread, cachedOnThisThread());
        parcel.setDataPosition(0);
        const Bundle decoded(&parcel);
        EXPECT_EQ(0u, cachedOnThisThread());
        EXPECT_EQ(199, decoded.getInt32("key199"));
    });
}

#ifdef STATUS_NODE_CACHE_ASAN
TEST(NodeCacheTest, ACachedNodeStaysPoisoned) {
    onNewThread([] {
        Bundle::HashNode* node = new Bundle::HashNode("k");
        delete node;
        ASSERT_EQ(1u, cachedOnThisThread());
        EXPECT_TRUE(__asan_address_is_poisoned(&node->mHash));
        EXPECT_TRUE(__asan_address_is_poisoned(node));
    });
}
#endif

}  // namespace
