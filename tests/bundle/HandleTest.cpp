// What a bundle handle and a node's 64-bit values look like on the target's word size.

#include <gtest/gtest.h>
#include <jni.h>
#include <stdint.h>

#include <string>

#include "bundle/Bundle.h"
#include "jni/Handle.h"

namespace {

using status::Bundle;
using status::jni::handleOf;
using status::jni::treeOf;

// Addresses at the top of a 32-bit space are common on the device; widening them
// through a signed type would set the high word.
TEST(HandleTest, AddressesWidenWithZeroHighBitsAndRoundTrip) {
    const uintptr_t addresses[] = {0x1000, 0x7FFFFFF8, 0x80000000, 0xBEFFF000, 0xFFFFFFF8};
    for (uintptr_t address : addresses) {
        auto* tree = reinterpret_cast<Bundle::HashTree*>(address);
        const jlong handle = handleOf(tree);
        EXPECT_EQ(static_cast<uint64_t>(handle), static_cast<uint64_t>(address)) << address;
        EXPECT_EQ(treeOf(handle), tree) << address;
    }
}

// ARM's 64-bit loads and stores want 8-byte alignment; every node the tree makes must
// give its scalar slot that, whatever the length of the key before it.
TEST(HandleTest, SixtyFourBitValuesInNodesAreEightByteAligned) {
    EXPECT_EQ(alignof(decltype(Bundle::HashNode::mValue)), 8u);
    Bundle bundle;
    std::string key;
    for (int i = 0; i < 40; ++i) {
        key += static_cast<char>('a' + i % 26);
        bundle.set(key.c_str(), static_cast<long long>(i) << 33);
        const Bundle::HashNode* node = bundle.mTree->getNode(key.c_str(), false);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(&node->mValue) % 8, 0u) << key;
        EXPECT_EQ(bundle.getInt64(key.c_str()), static_cast<long long>(i) << 33);
    }
    bundle.set("d", 0.1);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&bundle.mTree->getNode("d", false)->mValue) % 8, 0u);
    EXPECT_EQ(bundle.getDouble("d"), 0.1);
}

}  // namespace
