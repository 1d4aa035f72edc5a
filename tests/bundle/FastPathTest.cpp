// The encoder and decoder take shortcuts for common input (ASCII text, element blocks).
// Each case here holds a shortcut to the result of the general path it stands in for,
// on input that does and does not take it.

#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <random>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/KeyHash.h"
#include "support/KeyOrders.h"
#include "support/ParcelBytes.h"

using android::Parcel;
using android::String16;
using status::Bundle;
using namespace testing_support;

namespace {

const std::vector<std::string> kTexts = {
    "",
    "a",
    "battery.level",
    "a key well past the twenty-three units kept inline",
    "caf\xC3\xA9",                   // two-byte sequence
    "\xE2\x82\xAC and more",         // three-byte sequence
    "\xF0\x9F\x98\x80",              // four bytes: a surrogate pair
    "cut short \xE2\x82",            // a final sequence cut short
    std::string("nul\0inside", 10),  // only the part before the NUL counts
};

// The general path of readString: the converter, then the text up to its first NUL.
std::string convertedText(const std::u16string& units) {
    const ssize_t length = utf16_to_utf8_length(units.data(), units.size());
    if (length < 1) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    utf16_to_utf8(units.data(), units.size(), buffer.data());
    return std::string(buffer.data());
}

// Encodes over a buffer of other bytes, so that a padding byte left unwritten shows.
Bytes encodeOverStaleBytes(const Bundle& b) {
    Parcel p;
    for (int i = 0; i < 256; ++i) p.writeInt32(-1);
    p.setDataSize(0);
    b.toParcel(&p);
    return bytesOf(p);
}

}  // namespace

TEST(FastPathTest, TextIsWrittenAsItsString16) {
    for (const std::string& text : kTexts) {
        SCOPED_TRACE(text);
        const auto stream = [](const std::string& key, int32_t kind, const Bytes& value) {
            return words({Bundle::BUNDLE_MAGIC, 1}) + string16Bytes(key) +
                   words({static_cast<uint32_t>(kind)}) + value;
        };
        Bundle asKey, asValue, asElements;
        asKey.set(text.c_str(), 7);
        asValue.set("k", text.c_str());
        asElements.setArray("l", std::vector<std::string>{text, "x", text});
        EXPECT_EQ(encodeOverStaleBytes(asKey), stream(text, Bundle::TYPE_INT32, words({7})));
        EXPECT_EQ(encodeOverStaleBytes(asValue),
                  stream("k", Bundle::TYPE_STRING, string16Bytes(text)));
        EXPECT_EQ(
            encodeOverStaleBytes(asElements),
            stream("l", Bundle::TYPE_STRING_ARRAY,
                   words({3}) + string16Bytes(text) + string16Bytes("x") + string16Bytes(text)));
    }
}

TEST(FastPathTest, EntryBlocksHoldTheSameBytesAsSingleWrites) {
    const auto single = [](const char* key, int32_t kind, void (*value)(Parcel&)) {
        Parcel p;
        p.writeInt32(Bundle::BUNDLE_MAGIC);
        p.writeInt32(1);
        p.writeString16(String16(key));
        p.writeInt32(kind);
        value(p);
        return bytesOf(p);
    };
    struct Case {
        int32_t kind;
        void (*set)(Bundle&, const char*);
        void (*write)(Parcel&);
    };
    const Case cases[] = {
        {Bundle::TYPE_BOOL, [](Bundle& b, const char* k) { b.set(k, true); },
         [](Parcel& p) { p.writeInt32(1); }},
        {Bundle::TYPE_INT64, [](Bundle& b, const char* k) { b.set(k, -(5LL << 40)); },
         [](Parcel& p) { p.writeInt64(-(5LL << 40)); }},
        {Bundle::TYPE_DOUBLE, [](Bundle& b, const char* k) { b.set(k, -0.5); },
         [](Parcel& p) { p.writeDouble(-0.5); }},
        {Bundle::TYPE_INT_ARRAY,
         [](Bundle& b, const char* k) {
             const int v[] = {7, -1, 3};
             b.setArray(k, 3, v);
         },
         [](Parcel& p) {
             for (int v : {3, 7, -1, 3}) p.writeInt32(v);
         }},
        {Bundle::TYPE_WORD_ARRAY,
         [](Bundle& b, const char* k) {
             b.setArray(k, 0, static_cast<const unsigned short*>(nullptr));
         },
         [](Parcel& p) { p.writeInt32(0); }},
    };
    for (const Case& c : cases) {
        for (const char* key : {"", "odd", "even", "a key of nineteen c", "caf\xC3\xA9"}) {
            SCOPED_TRACE(std::to_string(c.kind) + " " + key);
            Bundle b;
            c.set(b, key);
            EXPECT_EQ(encodeOverStaleBytes(b), single(key, c.kind, c.write));
        }
    }
}

TEST(FastPathTest, ReadStringMatchesTheConverter) {
    const std::vector<std::u16string> units = {
        u"",
        u"plain",
        std::u16string(u"zero\0unit", 9),
        u"caf\u00e9",
        u"\u20ac",
        std::u16string(1, char16_t(0xD800)) + u"unpaired",
        u"\U0001F600",
        std::u16string(u"\u00e9\0after", 7),
    };
    for (const std::u16string& text : units) {
        for (size_t offset : {0u, 1u}) {  // an odd position after an odd-sized append
            Parcel p;
            if (offset) {
                Parcel one;
                one.writeInt32(7);
                p.appendFrom(&one, 0, 1);
            }
            p.writeString16(text.data(), text.size());
            p.setDataPosition(offset);
            EXPECT_EQ(Bundle::readString(&p), convertedText(text));
            EXPECT_EQ(p.dataPosition(), p.dataSize());
        }
    }
}

TEST(FastPathTest, ElementBlocksHoldTheSameBytesAsSingleWrites) {
    const int ints[] = {0, 1, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1};
    const double doubles[] = {0.0, -0.0, 1.5, 1e300, -3.25};
    const unsigned short words[] = {0, 1, 0xFFFF, 0x8000};
    const bool bools[] = {true, false, true};
    Bundle b;
    b.setArray("i", 5, ints);
    b.setArray("d", 5, doubles);
    b.setArray("w", 4, words);
    b.setArray("b", 3, bools);

    // The same entries written one value at a time, in the encoder's order.
    Parcel expected;
    expected.writeInt32(Bundle::BUNDLE_MAGIC);
    expected.writeInt32(4);
    const auto entry = [&](const char* key, int32_t kind, uint32_t count) {
        expected.writeString16(String16(key));
        expected.writeInt32(kind);
        expected.writeInt32(static_cast<int32_t>(count));
    };
    // Ascending hash: "b" 98, "d" 100, "i" 105, "w" 119.
    entry("b", Bundle::TYPE_BOOL_ARRAY, 3);
    for (bool v : bools) expected.writeInt32(v ? 1 : 0);
    entry("d", Bundle::TYPE_DOUBLE_ARRAY, 5);
    for (double v : doubles) expected.writeDouble(v);
    entry("i", Bundle::TYPE_INT_ARRAY, 5);
    for (int v : ints) expected.writeInt32(v);
    entry("w", Bundle::TYPE_WORD_ARRAY, 4);
    for (unsigned short v : words) expected.writeInt32(v);
    EXPECT_EQ(encode(b), bytesOf(expected));
}

TEST(FastPathTest, KeyHashIsTheByteByByteHash) {
    std::mt19937 random(11);
    for (int t = 0; t < 2000; ++t) {
        std::string key(random() % 24, ' ');
        for (char& c : key) c = static_cast<char>(1 + random() % 255);
        EXPECT_EQ(status::keyHash(key.data(), key.size()), hashOf(key)) << key;
    }
    EXPECT_EQ(status::keyHash("status", 6), -892481550);
}
