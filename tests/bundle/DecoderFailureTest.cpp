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
using namespace testing_support;

namespace {

constexpr int32_t kMagic = Bundle::BUNDLE_MAGIC;

Bytes entry(const char* key, int32_t kind) {
    return string16Bytes(key) + words({static_cast<uint32_t>(kind)});
}

std::vector<LogLine> errors(std::initializer_list<const char*> messages) {
    std::vector<LogLine> out;
    for (const char* m : messages) out.push_back({ANDROID_LOG_ERROR, "Bundle", m});
    return out;
}

}  // namespace

TEST(DecoderFailureTest, FailureTable) {
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<LogLine> log;
        size_t position;                // where decoding left the parcel
        std::vector<std::string> keys;  // entries that stay
    };
    const Bytes head = words({kMagic, 1});
    const Case cases[] = {
        {"other magic",
         words({0x1234ABCD, 1}),
         errors({"Invalid magic identifier 1234ABCD"}),
         4,
         {}},
        {"empty parcel", {}, errors({"Invalid magic identifier 00000000"}), 0, {}},
        {"negative kind is unknown", head + entry("a", -1), {}, 8 + 12, {"a"}},
        {"nested length beyond the data",
         words({kMagic, 2}) + entry("a", Bundle::TYPE_BUNDLE) + words({100, 0}),
         errors({"Invalid Parcelable/Bundle (100):(4)"}),
         8 + 12 + 4,
         {"a"}},
        {"negative nested length",
         head + entry("a", Bundle::TYPE_BUNDLE_ARRAY) + words({~3u}),
         errors({"Invalid Parcelable/Bundle (-4):(0)"}),
         8 + 12 + 4,
         {"a"}},
        {"count beyond the data invents no entries",
         words({kMagic, 1000}) + entry("a", Bundle::TYPE_BOOL) + words({1}),
         {},
         8 + 16,
         {"a"}},
        {"array count beyond the data stops",
         words({kMagic, 2}) + entry("a", Bundle::TYPE_INT_ARRAY) + words({100, 1, 2}) +
             entry("b", Bundle::TYPE_INT32) + words({3}),
         {},
         8 + 12 + 4,
         {"a"}},
        {"huge string array count",
         head + entry("a", Bundle::TYPE_STRING_ARRAY) + words({~0u}),
         {},
         8 + 12 + 4,
         {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parcel p;
        load(p, c.stream);
        LogCapture log;
        Bundle b(&p);
        EXPECT_EQ(log.lines(), c.log);
        EXPECT_EQ(p.dataPosition(), c.position);
        std::vector<std::string> keys;
        for (const char* key : {"a", "b", "c"}) {
            if (b.mTree && b.mTree->getNode(key, false)) keys.push_back(key);
        }
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(b.mTree ? b.mTree->mCount : 0, static_cast<int>(c.keys.size()));
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
