#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <string>

#include "bundle/Bundle.h"

using status::Bundle;

namespace {

constexpr int kKeys = 200000;
constexpr size_t kStack = 256 * 1024;

void runOnSmallStack(void* (*body)(void*), void* arg) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kStack);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, body, arg), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// The tree is never rebalanced, so keys made in ascending hash order chain to the
// right, descending ones to the left. Linked directly: inserting 200,000 keys one by
// one walks the chain each time, which is the container's cost, not this test's.
Bundle chain(int keys, bool leftward) {
    Bundle b;
    Bundle::HashTree* tree = b.getTree();
    Bundle::HashNode** link = &tree->mRoot;
    for (int i = 0; i < keys; ++i) {
        const std::string key = "k" + std::to_string(i);
        auto* node = new Bundle::HashNode(key.c_str());
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
    {
        Bundle b = chain(kKeys, r->leftward);
        android::Parcel p;
        b.toParcel(&p);
        r->bytes = p.dataSize();
        p.setDataPosition(8);
        Bundle::readString(&p);
        p.readInt32();
        r->firstValue = p.readInt32();
    }  // the tree is destroyed here, on the small stack
    return nullptr;
}

}  // namespace

TEST(DeepTreeTest, ChainedKeysEncodeAndDestroyOnA256KiBStack) {
    for (bool leftward : {false, true}) {
        Result r{leftward};
        runOnSmallStack(encodeAndDestroy, &r);
        EXPECT_GT(r.bytes, static_cast<size_t>(kKeys) * 20);
        // In order: the smallest hash first, the deepest node of a leftward chain.
        EXPECT_EQ(r.firstValue, leftward ? kKeys - 1 : 0);
    }
}
