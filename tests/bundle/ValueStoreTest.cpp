#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "support/LogCapture.h"
#include "support/ParcelBytes.h"

using status::Bundle;
using namespace testing_support;

TEST(ValueStoreTest, MissingKeysReadNeutralAndLeaveTheOutputAlone) {
    Bundle empty;
    Bundle filled;
    filled.set("other", true);
    for (const Bundle* b : {&empty, &filled}) {
        std::vector<int> ints{9};
        std::vector<std::string> strings{"kept"};
        EXPECT_FALSE(b->getBool("k"));
        EXPECT_EQ(b->getInt64("k"), 0);
        EXPECT_EQ(b->getString("k"), "");
        EXPECT_EQ(b->getBundle("k").mTree, nullptr);
        EXPECT_FALSE(b->getIntArray("k", ints));
        EXPECT_FALSE(b->getStringArray("k", strings));
        EXPECT_EQ(ints, std::vector<int>{9});
        EXPECT_EQ(strings, std::vector<std::string>{"kept"});
    }
}

TEST(ValueStoreTest, GettersReadTheirOwnFieldWhateverTheKind) {
    Bundle b;
    b.set("k", 5);
    b.set("k", true);
    EXPECT_EQ(b.getInt32("k"), 1);  // the boolean is the low byte
    b.set("neg", -1);
    EXPECT_EQ(b.getInt64("neg"), 4294967295LL);
    b.set("s", "text");
    b.set("s", 7);
    EXPECT_EQ(b.getString("s"), "text");
    EXPECT_EQ(b.mTree->getNode("s", false)->mType, Bundle::TYPE_INT32);
    b.set("d", 2.0);
    b.set("d", 1);
    EXPECT_EQ(b.getInt64("d") & 0xFFFFFFFF00000000LL, 0x4000000000000000LL);
    b.set("f", 256);
    b.set("f", false);  // over the integer's upper bytes; encoded: EncoderPropertyTest
    EXPECT_FALSE(b.getBool("f"));

    const int ints[] = {1, 2};
    b.setArray("arr", 2, ints);
    b.set("arr", false);  // the array storage stays with the node
    std::vector<int> out;
    EXPECT_TRUE(b.getIntArray("arr", out));
    EXPECT_EQ(out, (std::vector<int>{1, 2}));
    std::vector<double> otherType;
    EXPECT_FALSE(b.getDoubleArray("arr", otherType));  // never read as another type
    EXPECT_FALSE(b.getIntArray("s", out));             // no storage: absent
}

TEST(ValueStoreTest, EmptyArraysArePresentAndOnlyStringsAppend) {
    Bundle b;
    const unsigned char bytes[] = {0, 255};
    b.setArray("bytes", 2, bytes);
    b.setArray("none", 0, static_cast<const int*>(nullptr));
    b.setArray("strings", std::vector<std::string>{"x", ""});
    std::vector<unsigned char> by{42};
    std::vector<int> none{1, 2, 3};
    std::vector<std::string> s{"first"};
    EXPECT_TRUE(b.getByteArray("bytes", by));
    EXPECT_TRUE(b.getIntArray("none", none));
    EXPECT_TRUE(b.getStringArray("strings", s));
    EXPECT_EQ(by, (std::vector<unsigned char>{0, 255}));  // replaced
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(s, (std::vector<std::string>{"first", "x", ""}));  // appended
}

// A bundle, or an array holding it, stored inside its own tree.
TEST(ValueStoreTest, ValueStoredInsideItselfSeesItsOwnEntryAsEmpty) {
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
    EXPECT_EQ(encode(decode<Bundle>(encode(b))), encode(b));
}
