// Every kind's encoding and round trip: EncoderPropertyTest; nested values as snapshots:
// BundleNativesTest. Here: a value stored inside the tree that holds it.

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
