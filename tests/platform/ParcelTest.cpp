#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <utils/String16.h>

#include "support/ParcelBytes.h"

using android::Parcel;
using namespace testing_support;

// Length, units, terminator and padding: the independent writer of the generated tests.
TEST(ParcelTest, String16WritesNullAsMinusOneAndKeepsZeroUnits) {
    Parcel nullString;
    nullString.writeString16(nullptr, 0);
    EXPECT_EQ(bytesOf(nullString), words({0xFFFFFFFF}));
    Parcel zeroUnit;
    zeroUnit.writeString16(u"a\0b", 3);  // kept as any other unit
    EXPECT_EQ(bytesOf(zeroUnit), words({3, 'a', 'b'}));
}

TEST(ParcelTest, FailedReadsYieldZeroAndKeepThePosition) {
    Parcel p;
    load(p, Bytes{1, 2, 3, 4, 5, 6});
    p.setDataPosition(4);
    EXPECT_EQ(p.readInt32(), 0);
    EXPECT_EQ(p.readInt64(), 0);
    EXPECT_EQ(p.readDouble(), 0.0);
    EXPECT_EQ(p.dataPosition(), 4u);
    // A padded block must fit whole: 2 bytes are left, a 1-byte block needs 4.
    EXPECT_EQ(p.readInplace(1), nullptr);
    EXPECT_EQ(p.dataPosition(), 4u);
}

TEST(ParcelTest, ReadString16ConsumesTheLengthWordEvenWhenThePayloadIsMissing) {
    Parcel p;
    load(p, words({5, 0x00620061}));  // promises 5 units, holds 2
    EXPECT_EQ(p.readString16().size(), 0u);
    EXPECT_EQ(p.dataPosition(), 4u);

    Parcel nullString;
    load(nullString, words({0xFFFFFFFF}));
    size_t len = 99;
    EXPECT_EQ(nullString.readString16Inplace(&len), nullptr);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(nullString.dataPosition(), 4u);

    // The terminating unit must be zero; the payload stays consumed.
    Parcel unterminated;
    load(unterminated, words({1, 0x00420041}));
    EXPECT_EQ(unterminated.readString16Inplace(&len), nullptr);
    EXPECT_EQ(unterminated.dataPosition(), 8u);
}

TEST(ParcelTest, WriteInplacePadsWithZerosAndReadInplaceSkipsThePadding) {
    Parcel p;
    p.writeInt32(-1);
    p.setDataPosition(0);  // overwrite in place: the pad bytes must be cleared
    uint8_t* block = static_cast<uint8_t*>(p.writeInplace(1));
    ASSERT_NE(block, nullptr);
    block[0] = 7;
    EXPECT_EQ(bytesOf(p), (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(p.dataPosition(), 4u);
    p.setDataPosition(0);
    EXPECT_NE(p.readInplace(1), nullptr);
    EXPECT_EQ(p.dataPosition(), 4u);
}

TEST(ParcelTest, APositionBeyondTheDataGrowsItUnlessNothingIsAllocated) {
    Parcel fresh;
    fresh.setDataPosition(8);
    fresh.writeInt32(9);  // the first allocation restarts the parcel
    EXPECT_EQ(fresh.dataPosition(), 4u);
    EXPECT_EQ(bytesOf(fresh), words({9}));
    Parcel p;
    p.writeInt32(1);
    p.setDataPosition(12);
    EXPECT_EQ(p.dataSize(), 12u);
    EXPECT_EQ(p.dataAvail(), 0u);
    p.writeInt32(2);  // the gap reads as zeros
    EXPECT_EQ(bytesOf(p), words({1, 0, 0, 2}));
}

TEST(ParcelTest, AppendFromWritesAtThePositionAndGrowsTheSizeByTheLength) {
    Parcel source;
    load(source, words({1, 2, 3}));
    source.setDataPosition(8);

    Parcel target;
    target.writeInt32(7);
    EXPECT_EQ(target.appendFrom(&source, 4, 8), android::OK);
    EXPECT_EQ(bytesOf(target), words({7, 2, 3}));
    EXPECT_EQ(source.dataPosition(), 8u);  // the source's position is not used

    // Rewound: the bytes land at the position, yet the size still grows by the length.
    target.setDataPosition(0);
    target.appendFrom(&source, 0, 4);
    EXPECT_EQ(target.dataPosition(), 4u);
    EXPECT_EQ(bytesOf(target), words({1, 2, 3, 0}));

    EXPECT_EQ(target.appendFrom(&source, 8, 8), android::BAD_VALUE);
    EXPECT_EQ(target.appendFrom(&source, 100, 0), android::OK);
}

// The conversions themselves are held against the platform's libutils (UnicodeDiff.cpp).
// A null text crashes the device's String16; the host must not turn it into "".
TEST(UnicodeDeathTest, String16FromNullTextCrashes) {
    EXPECT_DEATH({ android::String16 s(static_cast<const char*>(nullptr)); }, "");
    EXPECT_DEATH({ android::String16 s(static_cast<const char*>(nullptr), 3); }, "");
    EXPECT_DEATH({ android::String16 s(static_cast<const char16_t*>(nullptr)); }, "");
    EXPECT_DEATH({ android::String16 s(static_cast<const char16_t*>(nullptr), 3); }, "");
}
