#include <binder/Parcel.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "support/LogCapture.h"
#include "support/ParcelBytes.h"

using android::Parcel;
using status::Bundle;
using namespace testing_support;

namespace {

Bundle decode(const Bytes& bytes, size_t* position = nullptr) {
    Parcel p;
    load(p, bytes);
    Bundle b(&p);
    if (position) *position = p.dataPosition();
    return b;
}

}  // namespace

TEST(EncodingTest, ByteArraysArePaddedAndEmptyArraysAreACount) {
    const unsigned char bytes[5] = {1, 2, 3, 4, 5};
    Bundle b[2];
    b[0].setArray("k", 5, bytes);
    b[1].setArray("k", 0, static_cast<const int*>(nullptr));
    EXPECT_EQ(encode(b[0]), words({0x4C444E42, 1, 1, 0x6B, 7, 5, 0x04030201, 5}));
    EXPECT_EQ(encode(b[1]), words({0x4C444E42, 1, 1, 0x6B, 9, 0}));
}

TEST(EncodingTest, EveryKindSurvivesARoundTrip) {
    Bundle inner;
    inner.set("x", 1);
    status::BundleArray array;
    array.mBundles.push_back(inner);
    array.mBundles.push_back(Bundle());

    Bundle b;
    const double doubles[] = {0.1, -1e-310, 1e308};
    const bool bools[] = {true, false};
    b.set("bool", true);
    b.set("int", -7);
    b.set("long", -1234567890123LL);
    b.set("double", 3.3);
    b.set("string", "h\xC3\xA9llo \xF0\x9F\x98\x80");
    b.set("bundle", inner);
    b.setArray("doubles", 3, doubles);
    b.setArray("bools", 2, bools);
    b.setArray("empty", 0, static_cast<const double*>(nullptr));
    b.setArray("strings", {"one", "two"});
    b.setArray("array", array);

    const Bytes bytes = encode(b);
    size_t position = 0;
    Bundle back = decode(bytes, &position);
    EXPECT_EQ(position, bytes.size());
    EXPECT_EQ(encode(back), bytes);
    EXPECT_TRUE(back.getBool("bool"));
    EXPECT_EQ(back.getInt32("int"), -7);
    EXPECT_EQ(back.getInt64("long"), -1234567890123LL);
    EXPECT_EQ(back.getDouble("double"), 3.3);  // no float fits it
    EXPECT_EQ(back.getString("string"), "h\xC3\xA9llo \xF0\x9F\x98\x80");
    EXPECT_EQ(back.getBundle("bundle").getInt32("x"), 1);
    std::vector<double> d;
    EXPECT_TRUE(back.getDoubleArray("doubles", d));
    EXPECT_EQ(d, (std::vector<double>{0.1, -1e-310, 1e308}));
    EXPECT_FALSE(back.getDoubleArray("empty", d));  // a count of 0 decodes as absent
}

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

    // A smaller value over a larger one, nested bundle or bundle array, leaves none of
    // the larger one's bytes behind.
    Bundle replacement;
    replacement.set("r", 4);
    status::BundleArray larger;
    larger.mBundles = {outer, inner};
    outer.setArray("a", larger);
    outer.set("n", replacement);
    outer.setArray("a", status::BundleArray());
    Bundle fresh;
    fresh.set("n", replacement);
    fresh.setArray("a", status::BundleArray());
    EXPECT_EQ(encode(outer), encode(fresh));
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
