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

const char* const kClassName = "com.quorvel.dovra.statusitem.Bundle";

// The wire form of arrays is held to an independent writer in EncoderPropertyTest; here
// it is read back into elements.
TEST(BundleArrayTest, DecodesTheCountThenNameAndBundleOfEach) {
    const Bytes expected = words({2}) + string16Bytes(kClassName) +
                           words({0x4C444E42, 1, 1, 0x61, 1, 5}) + string16Bytes(kClassName) +
                           words({0x4C444E42, 0});
    Parcel p;
    load(p, expected);
    BundleArray back(&p);
    EXPECT_EQ(p.dataPosition(), expected.size());
    ASSERT_EQ(back.numBundles(), 2);
    EXPECT_EQ(back.mBundles[0].getInt32("a"), 5);
    EXPECT_EQ(back.mBundles[1].mTree, nullptr);
}

TEST(BundleArrayTest, DecoderFailures) {
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<std::string> log;
        int elements;
    };
    const Bytes emptyBundle = words({0x4C444E42, 0});
    const Case cases[] = {
        {"slash form of the name",
         words({1}) + string16Bytes("com/quorvel/dovra/statusitem/Bundle") + emptyBundle,
         {"Invalid Bundle Array com/quorvel/dovra/statusitem/Bundle"},
         0},
        {"count beyond the elements",
         words({3}) + string16Bytes(kClassName) + emptyBundle,
         {"Invalid Bundle Array "},
         1},
        {"bad element magic is kept as an empty bundle",
         words({2}) + string16Bytes(kClassName) + words({0}) + string16Bytes(kClassName) +
             emptyBundle,
         {"Invalid magic identifier 00000000"},
         2},
        {"huge count", words({0xFFFFFFFF}), {"Invalid Bundle Array "}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parcel p;
        load(p, c.stream);
        LogCapture log;
        BundleArray a(&p);
        EXPECT_EQ(log.messages(), c.log);
        EXPECT_EQ(a.numBundles(), c.elements);
    }
}
