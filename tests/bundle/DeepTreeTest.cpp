#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <string>

#include "bundle/Bundle.h"

using status::Bundle;

namespace {

constexpr int kKeys = 200000;

// The tree is never rebalanced, so keys made in ascending hash order chain to the
// right, descending ones to the left. Linked directly: inserting 200,000 keys one by
// one walks the chain each time, which is the container's cost, not this test's.
Bundle chain(int keys, bool leftward) {
    Bundle b;
    Bundle::HashTree* tree = b.getTree();
    Bundle::HashNode** link = &tree->mRoot;
    for (int i = 0; i < keys; ++i) {
        auto* node = new Bundle::HashNode(("k" + std::to_string(i)).c_str());
        node->mHash = leftward ? -i : i;
        node->mType = Bundle::TYPE_INT32;
        node->mValue.mInt32 = i;
        *link = node;
        link = leftward ? &node->mLeft : &node->mRight;
        ++tree->mCount;
    }
    return b;
}

struct Result {
    bool leftward;
    size_t bytes = 0;
    int32_t firstValue = -1;
};

void* encodeAndDestroy(void* arg) {
    Result* r = static_cast<Result*>(arg);
    android::Parcel p;
    chain(kKeys, r->leftward).toParcel(&p);  // and destroyed, on the small stack
    r->bytes = p.dataSize();
    p.setDataPosition(8);
    Bundle::readString(&p);
    p.readInt32();
    r->firstValue = p.readInt32();
    return nullptr;
}

}  // namespace

TEST(DeepTreeTest, ChainedKeysEncodeAndDestroyOnA256KiBStack) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    for (bool leftward : {false, true}) {
        Result r{leftward};
        pthread_t thread;
        ASSERT_EQ(pthread_create(&thread, &attr, encodeAndDestroy, &r), 0);
        pthread_join(thread, nullptr);
        EXPECT_GT(r.bytes, static_cast<size_t>(kKeys) * 20);
        // In order: the smallest hash first, the deepest node of a leftward chain.
        EXPECT_EQ(r.firstValue, leftward ? kKeys - 1 : 0);
    }
    pthread_attr_destroy(&attr);
}
