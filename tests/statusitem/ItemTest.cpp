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

Item decode(const Bytes& bytes) {
    Parcel p;
    load(p, bytes);
    return Item(&p);
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

TEST(ItemTest, NeutralReadsGiveTheDefault) {
    Item empty = decode(Bytes{});
    EXPECT_EQ("", empty.mKey);
    EXPECT_EQ(Item::ITEM_BOOL, empty.mType);
    EXPECT_FALSE(empty.mValue.mBool);

    for (uint8_t length : {uint8_t{0}, uint8_t{0xFF}}) {  // empty and null String16
        Bytes bytes{length, length, length, length};
        if (length == 0) bytes.insert(bytes.end(), {0, 0, 0, 0});
        bytes.insert(bytes.end(), {3, 0, 0, 0, 1, 0, 0, 0, 0x7A, 0, 0, 0});
        Item d = decode(bytes);
        EXPECT_EQ("", d.mKey) << int(length);
        EXPECT_EQ(Item::ITEM_STRING, d.mType);
        EXPECT_EQ("z", d.mString) << int(length);
    }
}
