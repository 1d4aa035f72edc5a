#include <android/log.h>
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
using status::BundleArray;
using namespace testing_support;

namespace {

constexpr int32_t kMagic = Bundle::BUNDLE_MAGIC;
const char* const kClassName = "com.quorvel.dovra.statusitem.Bundle";

Bytes entry(const char* key, int32_t kind) {
    return string16Bytes(key) + words({static_cast<uint32_t>(kind)});
}

}  // namespace

TEST(DecoderFailureTest, FailureTable) {
    const Bytes head = words({kMagic, 1});
    const struct {
        const char* name;
        Bytes stream;
        const char* error;  // the one log line, if any
        size_t position;    // where decoding left the parcel
        int kept;           // 1: the entry "a" stays, alone
    } cases[] = {
        {"other magic", words({0x1234ABCD, 1}), "Invalid magic identifier 1234ABCD", 4, 0},
        {"empty parcel", {}, "Invalid magic identifier 00000000", 0, 0},
        {"negative kind is unknown", head + entry("a", -1), nullptr, 8 + 12, 1},
        {"nested length beyond the data",
         words({kMagic, 2}) + entry("a", Bundle::TYPE_BUNDLE) + words({100, 0}),
         "Invalid Parcelable/Bundle (100):(4)", 8 + 12 + 4, 1},
        {"negative nested length", head + entry("a", Bundle::TYPE_BUNDLE_ARRAY) + words({~3u}),
         "Invalid Parcelable/Bundle (-4):(0)", 8 + 12 + 4, 1},
        {"count beyond the data invents no entries",
         words({kMagic, 1000}) + entry("a", Bundle::TYPE_BOOL) + words({1}), nullptr, 8 + 16, 1},
        {"array count beyond the data stops",
         words({kMagic, 2}) + entry("a", Bundle::TYPE_INT_ARRAY) + words({100, 1, 2}) +
             entry("b", Bundle::TYPE_INT32) + words({3}),
         nullptr, 8 + 12 + 4, 1},
        {"huge string array count", head + entry("a", Bundle::TYPE_STRING_ARRAY) + words({~0u}),
         nullptr, 8 + 12 + 4, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Parcel p;
        load(p, c.stream);
        LogCapture log;
        Bundle b(&p);
        std::vector<LogLine> lines;
        if (c.error != nullptr) lines.push_back({ANDROID_LOG_ERROR, "Bundle", c.error});
        EXPECT_EQ(log.lines(), lines);
        EXPECT_EQ(p.dataPosition(), c.position);
        EXPECT_EQ(b.mTree ? b.mTree->mCount : 0, c.kept);
        EXPECT_TRUE(!c.kept || b.mTree->getNode("a", false));
    }
}

TEST(DecoderFailureTest, ByteArrayWithoutItsBlockReadsAbsentAndReencodesAsEmpty) {
    const Bytes head = words({kMagic, 1}) + entry("b", Bundle::TYPE_BYTE_ARRAY);
    Parcel p;
    load(p, head + words({9, 0x04030201}));  // no room for a 9-byte block
    Bundle b(&p);
    EXPECT_EQ(p.dataPosition(), 8u + 12 + 4);
    EXPECT_EQ(b.mTree->getNode("b", false)->mSize, 9u);
    std::vector<unsigned char> out;
    EXPECT_FALSE(b.getByteArray("b", out));
    EXPECT_EQ(encode(b), head + words({0}));
}

TEST(DecoderFailureTest, EntryThatNeverHeldABundleReadsAsEmptyWithALogLine) {
    Bundle b;
    b.set("i", 3);
    LogCapture log;
    EXPECT_EQ(b.getBundleArray("i").numBundles(), 0);  // a count of 0, no line
    EXPECT_EQ(b.getBundle("i").mTree, nullptr);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"Invalid magic identifier 00000000"});
}

// The wire form of arrays is held to an independent writer in EncoderPropertyTest; here
// it is read back into elements, and refused.
TEST(BundleArrayTest, DecodesTheCountThenNameAndBundleOfEach) {
    const Bytes expected = words({2}) + string16Bytes(kClassName) +
                           words({kMagic, 1, 1, 0x61, 1, 5}) + string16Bytes(kClassName) +
                           words({kMagic, 0});
    Parcel p;
    load(p, expected);
    BundleArray back(&p);
    EXPECT_EQ(p.dataPosition(), expected.size());
    ASSERT_EQ(back.numBundles(), 2);
    EXPECT_EQ(back.mBundles[0].getInt32("a"), 5);
    EXPECT_EQ(back.mBundles[1].mTree, nullptr);
}

TEST(BundleArrayTest, DecoderFailures) {
    const Bytes name = string16Bytes(kClassName), empty = words({kMagic, 0});
    const struct {
        const char* name;
        Bytes stream;
        std::vector<std::string> log;
        int elements;
    } cases[] = {
        {"slash form of the name",
         words({1}) + string16Bytes("com/quorvel/dovra/statusitem/Bundle") + empty,
         {"Invalid Bundle Array com/quorvel/dovra/statusitem/Bundle"},
         0},
        {"count beyond the elements", words({3}) + name + empty, {"Invalid Bundle Array "}, 1},
        {"bad element magic is kept as an empty bundle",
         words({2}) + name + words({0}) + name + empty,
         {"Invalid magic identifier 00000000"},
         2},
        {"huge count", words({0xFFFFFFFF}), {"Invalid Bundle Array "}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        EXPECT_EQ(decode<BundleArray>(c.stream).numBundles(), c.elements);
        EXPECT_EQ(log.messages(), c.log);
    }
}
