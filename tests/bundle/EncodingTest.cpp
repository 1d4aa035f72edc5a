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
using testing_support::Bytes;
using testing_support::bytesOf;
using testing_support::encode;
using testing_support::LogCapture;
using testing_support::words;

namespace {

Bundle decode(const Bytes& bytes, size_t* position = nullptr) {
    Parcel p;
    testing_support::load(p, bytes);
    Bundle b(&p);
    if (position) *position = p.dataPosition();
    return b;
}

std::vector<std::string> keysInStreamOrder(const Bundle& b) {
    Parcel p;
    b.toParcel(&p);
    p.setDataPosition(8);
    std::vector<std::string> keys;
    for (int i = 0; i < b.mTree->mCount; ++i) {
        keys.push_back(Bundle::readString(&p));
        p.readInt32();  // kind
        p.readInt32();  // int32 value
    }
    return keys;
}

}  // namespace

TEST(EncodingTest, OneIntegerEntryIs24Bytes) {
    Bundle b;
    b.set("a", 5);
    const Bytes expected = words({0x4C444E42, 1, 1, 0x61, 1, 5});
    EXPECT_EQ(encode(b), expected);
    size_t position = 0;
    Bundle back = decode(expected, &position);
    EXPECT_EQ(back.getInt32("a"), 5);
    EXPECT_EQ(position, 24u);
}

TEST(EncodingTest, EmptyBundleIs8BytesWithOrWithoutATree) {
    LogCapture log;
    Bundle none;
    Bundle treeOnly;
    treeOnly.getTree();
    const Bytes expected = words({0x4C444E42, 0});
    EXPECT_EQ(encode(none), expected);
    EXPECT_EQ(encode(treeOnly), expected);
    EXPECT_EQ(decode(expected).mTree, nullptr);
    EXPECT_TRUE(log.lines().empty());
}

TEST(EncodingTest, EntriesFollowTheTreeInOrder) {
    Bundle b;
    b.set("a", 1);
    b.set("status", 2);
    b.set("Aa", 3);
    b.set("BB", 4);
    EXPECT_EQ(keysInStreamOrder(b), (std::vector<std::string>{"status", "a", "BB", "Aa"}));
}

TEST(EncodingTest, ArraySizesOnTheWire) {
    const unsigned char bytes[5] = {1, 2, 3, 4, 5};
    const unsigned short units[3] = {1, 2, 65535};
    const bool bools[2] = {true, false};
    const double doubles[2] = {1, 2};
    Bundle b[6];
    b[0].setArray("k", 5, bytes);
    b[1].setArray("k", 3, units);
    b[2].setArray("k", 2, bools);
    b[3].setArray("k", 2, doubles);
    b[4].setArray("k", 0, static_cast<const int*>(nullptr));
    b[5].setArray("k", {"ab", ""});
    const size_t valueBytes[6] = {4 + 8, 4 + 12, 4 + 8, 4 + 16, 4, 4 + 12 + 8};  // after the kind
    for (int i = 0; i < 6; ++i) EXPECT_EQ(encode(b[i]).size(), 8 + 8 + 4 + valueBytes[i]) << i;
    const Bytes all = encode(b[1]);
    EXPECT_EQ(Bytes(all.end() - 16, all.end()), words({3, 1, 2, 65535}));  // zero-extended
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
    std::vector<std::string> s;
    EXPECT_TRUE(back.getStringArray("strings", s));
    EXPECT_EQ(s, (std::vector<std::string>{"one", "two"}));
    status::BundleArray arrayBack = back.getBundleArray("array");
    ASSERT_EQ(arrayBack.numBundles(), 2);
    EXPECT_EQ(arrayBack.mBundles[0].getInt32("x"), 1);
    EXPECT_EQ(arrayBack.mBundles[1].mTree, nullptr);
}

TEST(EncodingTest, DecodingStopsRightAfterTheBundle) {
    Parcel p;
    Bundle b;
    b.set("a", 5);
    b.toParcel(&p);
    p.writeInt32(0x5A5A5A5A);
    p.setDataPosition(0);
    Bundle back(&p);
    EXPECT_EQ(p.readInt32(), 0x5A5A5A5A);
}

TEST(EncodingTest, NestedBundleIsASnapshot) {
    Bundle inner;
    inner.set("v", 1);
    Bundle outer;
    outer.set("n", inner);
    inner.set("v", 2);
    inner.set("w", 3);
    Bundle first = outer.getBundle("n");
    Bundle second = outer.getBundle("n");
    EXPECT_EQ(first.getInt32("v"), 1);
    EXPECT_EQ(first.getInt32("w"), 0);
    EXPECT_NE(first.mTree, second.mTree);
    EXPECT_EQ(encode(first), encode(second));
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

TEST(EncodingTest, BundleStoredInsideItselfSeesItsOwnEntryAsEmpty) {
    LogCapture log;
    Bundle b;
    b.set("a", 1);
    b.set("self", b);
    Bundle snapshot = b.getBundle("self");
    EXPECT_EQ(snapshot.getInt32("a"), 1);
    EXPECT_EQ(snapshot.getBundle("self").mTree, nullptr);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(encode(decode(encode(b))), encode(b));
}
