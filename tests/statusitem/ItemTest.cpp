#include "statusitem/Item.h"

#include <binder/Parcel.h>
#include <gtest/gtest.h>

#include <string>

#include "support/ParcelBytes.h"

using android::Parcel;
using status::Bundle;
using status::Item;
using namespace testing_support;

namespace {

struct Decoded {
    Item item;
    size_t position;
};

Decoded decode(const Bytes& bytes) {
    Parcel p;
    load(p, bytes);
    Item item(&p);
    return {item, p.dataPosition()};
}

size_t throwingPosition(const Bytes& bytes, int* thrown) {
    Parcel p;
    load(p, bytes);
    try {
        Item item(&p);
    } catch (int e) {
        *thrown = e;
    }
    return p.dataPosition();
}

const Bytes KEY_A = {0x01, 0, 0, 0, 0x61, 0, 0, 0};

}  // namespace

TEST(ItemTest, CopiesAndSetBundleShareOneTree) {
    Bundle bundle;
    bundle.set("x", 1);
    Item item;
    item.setBundle("b", bundle);
    bundle.set("later", 2);
    EXPECT_EQ(2, item.mBundle.getInt32("later"));

    Item copy(item);
    EXPECT_EQ(item.mBundle.mTree, copy.mBundle.mTree);
    copy.mBundle.set("fromCopy", 3);
    EXPECT_EQ(3, item.mBundle.getInt32("fromCopy"));
    EXPECT_EQ(3, bundle.mTree->mRefs.load());
}

TEST(ItemTest, TypeCodesOutsideTheFiveThrowTwoAfterTheTypeField) {
    for (const Bytes& type : {Bytes{5, 0, 0, 0}, Bytes{0xFF, 0xFF, 0xFF, 0xFF}}) {
        int thrown = 0;
        EXPECT_EQ(12u, throwingPosition(KEY_A + type, &thrown));
        EXPECT_EQ(2, thrown);
    }
}

TEST(ItemTest, TextKeepsEmbeddedNulsAndNeutralReadsGiveTheDefault) {
    Decoded nul = decode(Bytes{3, 0, 0, 0, 0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0});
    EXPECT_EQ(std::string("a\0b", 3), nul.item.mKey);
    EXPECT_TRUE(nul.item.mValue.mBool);

    Decoded empty = decode(Bytes{});
    EXPECT_EQ("", empty.item.mKey);
    EXPECT_EQ(Item::ITEM_BOOL, empty.item.mType);
    EXPECT_FALSE(empty.item.mValue.mBool);

    for (uint8_t length : {uint8_t{0}, uint8_t{0xFF}}) {  // empty and null String16
        Bytes bytes{length, length, length, length};
        if (length == 0) bytes.insert(bytes.end(), {0, 0, 0, 0});
        bytes.insert(bytes.end(), {3, 0, 0, 0, 1, 0, 0, 0, 0x7A, 0, 0, 0});
        Decoded d = decode(bytes);
        EXPECT_EQ("", d.item.mKey) << int(length);
        EXPECT_EQ(Item::ITEM_STRING, d.item.mType);
        EXPECT_EQ("z", d.item.mString) << int(length);
    }
}
