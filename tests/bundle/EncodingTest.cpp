// Every kind's encoding and round trip: EncoderPropertyTest. Here: nested values are
// snapshots, also of the tree that holds them.

#include <binder/Parcel.h>
#include <gtest/gtest.h>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "support/LogCapture.h"
#include "support/ParcelBytes.h"

using android::Parcel;
using status::Bundle;
using namespace testing_support;

namespace {

Bundle decode(const Bytes& bytes) {
    Parcel p;
    load(p, bytes);
    return Bundle(&p);
}

}  // namespace

TEST(EncodingTest, NestedBundleIsASnapshot) {
    Bundle inner;
    inner.set("v", 1);
    Bundle outer;
    outer.set("n", inner);
    inner.set("v", 2);
    inner.set("w", 3);
    Bundle first = outer.getBundle("n");
    EXPECT_EQ(first.getInt32("v"), 1);
    EXPECT_EQ(first.getInt32("w"), 0);
    first.set("v", 9);  // the copy read out shares nothing with the entry
    EXPECT_EQ(outer.getBundle("n").getInt32("v"), 1);
}

// A bundle, or an array holding it, stored inside its own tree.
TEST(EncodingTest, ValueStoredInsideItselfSeesItsOwnEntryAsEmpty) {
    LogCapture log;
    Bundle b;
    b.set("a", 1);
    b.set("self", b);
    status::BundleArray array;
    array.mBundles.push_back(b);
    b.setArray("list", array);
    Bundle snapshot = b.getBundle("self");
    EXPECT_EQ(snapshot.getInt32("a"), 1);
    EXPECT_EQ(snapshot.getBundle("self").mTree, nullptr);
    status::BundleArray back = b.getBundleArray("list");
    ASSERT_EQ(back.numBundles(), 1);
    EXPECT_EQ(back.mBundles[0].getInt32("a"), 1);
    EXPECT_EQ(back.mBundles[0].getBundleArray("list").numBundles(), 0);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(encode(decode(encode(b))), encode(b));
}
