#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "support/ParcelBytes.h"

using status::Bundle;

namespace {

int32_t hashOf(const char* key) {
    Bundle b;
    b.set(key, 0);
    return b.mTree->getNode(key, false)->mHash;
}

}  // namespace

TEST(ValueStoreTest, KeysHashWithMultiplier31AsSignedIntegers) {
    EXPECT_EQ(hashOf(""), 0);
    EXPECT_EQ(hashOf("abc"), 96354);
    EXPECT_EQ(hashOf("Aa"), 2112);
    EXPECT_EQ(hashOf("BB"), 2112);
    EXPECT_EQ(hashOf("status"), -892481550);
    EXPECT_EQ(hashOf("\xFF"), 255);  // bytes count as unsigned
}

TEST(ValueStoreTest, TreeOrdersByHashAndSendsEqualHashesLeft) {
    Bundle b;
    b.set("a", 1);
    b.set("status", 2);
    b.set("b", 3);
    b.set("Aa", 4);
    b.set("BB", 5);
    const Bundle::HashNode* root = b.mTree->mRoot;
    EXPECT_EQ(root->mKey, "a");
    EXPECT_EQ(root->mLeft->mKey, "status");
    EXPECT_EQ(root->mRight->mKey, "b");
    EXPECT_EQ(root->mRight->mRight->mKey, "Aa");
    EXPECT_EQ(root->mRight->mRight->mLeft->mKey, "BB");
    EXPECT_EQ(b.getInt32("Aa"), 4);
    EXPECT_EQ(b.getInt32("BB"), 5);
    EXPECT_EQ(b.mTree->mCount, 5);
    b.set("BB", 6);  // an existing key changes kind and value, not the count
    EXPECT_EQ(b.mTree->mCount, 5);
}

TEST(ValueStoreTest, MissingKeysAndEmptyBundlesGiveNeutralValues) {
    Bundle empty;
    Bundle filled;
    filled.set("other", true);
    for (const Bundle* b : {&empty, &filled}) {
        std::vector<int> ints{9};
        std::vector<std::string> strings{"kept"};
        EXPECT_FALSE(b->getBool("k"));
        EXPECT_EQ(b->getInt32("k"), 0);
        EXPECT_EQ(b->getInt64("k"), 0);
        EXPECT_EQ(b->getDouble("k"), 0.0);
        EXPECT_EQ(b->getString("k"), "");
        EXPECT_EQ(b->getBundle("k").mTree, nullptr);
        EXPECT_FALSE(b->getIntArray("k", ints));
        EXPECT_FALSE(b->getStringArray("k", strings));
        EXPECT_EQ(ints, std::vector<int>{9});
        EXPECT_EQ(strings, std::vector<std::string>{"kept"});
    }
    EXPECT_EQ(empty.mTree, nullptr);  // getters never make a tree
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
    Bundle flag;
    flag.set("f", 256);
    flag.set("f", false);  // the slot's upper bytes still hold the integer's
    Bundle plain;
    plain.set("f", false);
    EXPECT_FALSE(flag.getBool("f"));
    EXPECT_EQ(testing_support::encode(flag), testing_support::encode(plain));

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

TEST(ValueStoreTest, ArraysRoundTripAndEmptyArraysArePresent) {
    Bundle b;
    const bool bools[] = {true, false, true};
    const unsigned char bytes[] = {0, 255};
    const unsigned short wordsIn[] = {65535, 1};
    const double doubles[] = {-0.0, 1e300};
    b.setArray("bools", 3, bools);
    b.setArray("bytes", 2, bytes);
    b.setArray("words", 2, wordsIn);
    b.setArray("doubles", 2, doubles);
    b.setArray("none", 0, static_cast<const int*>(nullptr));
    b.setArray("strings", std::vector<std::string>{"x", ""});

    std::vector<bool> bo;
    std::vector<unsigned char> by{42};
    std::vector<unsigned short> wo;
    std::vector<double> d;
    std::vector<int> none{1, 2, 3};
    std::vector<std::string> s{"first"};
    EXPECT_TRUE(b.getBoolArray("bools", bo));
    EXPECT_TRUE(b.getByteArray("bytes", by));
    EXPECT_TRUE(b.getWordArray("words", wo));
    EXPECT_TRUE(b.getDoubleArray("doubles", d));
    EXPECT_TRUE(b.getIntArray("none", none));
    EXPECT_TRUE(b.getStringArray("strings", s));
    EXPECT_EQ(bo, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(by, (std::vector<unsigned char>{0, 255}));  // replaced
    EXPECT_EQ(wo, (std::vector<unsigned short>{65535, 1}));
    EXPECT_EQ(d, (std::vector<double>{-0.0, 1e300}));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(s, (std::vector<std::string>{"first", "x", ""}));  // appended
}

TEST(ValueStoreTest, CopiesShareOneTreeAndTheLastReleaseDestroysIt) {
    Bundle original;
    original.set("a", 1);
    Bundle::HashTree* tree = original.mTree;
    {
        Bundle copy(original);
        Bundle assigned;
        assigned = copy;
        EXPECT_EQ(tree->mRefs.load(), 3);
        assigned.set("b", 2);
        EXPECT_EQ(original.getInt32("b"), 2);
        Bundle& alias = assigned;
        assigned = alias;
        EXPECT_EQ(tree->mRefs.load(), 3);
        assigned = Bundle();
        EXPECT_EQ(tree->mRefs.load(), 2);
    }
    EXPECT_EQ(tree->mRefs.load(), 1);
    EXPECT_EQ(original.getInt32("a"), 1);
}

TEST(ValueStoreTest, CopyOfAnEmptyBundleStaysEmpty) {
    Bundle empty;
    Bundle copy(empty);
    empty.set("a", 1);
    EXPECT_EQ(copy.mTree, nullptr);
    EXPECT_EQ(copy.getInt32("a"), 0);
}
