// The ASCII shortcuts of text, held to the general converters they stand in for on
// every unit or byte value at every place of a block, and on generated mixed texts; and
// the hashes of keys.

#include <binder/Parcel.h>
#include <gtest/gtest.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Codec.h"
#include "bundle/KeyHash.h"
#include "bundle/SipHash.h"
#include "support/Generated.h"
#include "support/KeyOrders.h"
#include "support/ParcelBytes.h"
#include "support/Wire.h"

using android::Parcel;
using status::Bundle;
using namespace testing_support;

namespace {

// The general path of readString: the converter, then the text up to its first NUL.
std::string convertedText(const std::u16string& units) {
    const ssize_t length = utf16_to_utf8_length(units.data(), units.size());
    if (length < 1) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    utf16_to_utf8(units.data(), units.size(), buffer.data());
    return std::string(buffer.data());
}

// "" when readString gives the converter's text and ends after the units; the text
// starts at an odd position too, as after an odd-sized append.
std::string readDiffers(const std::u16string& units) {
    for (size_t offset : {0u, 1u}) {
        Parcel p;
        if (offset != 0) {
            Parcel one;
            one.writeInt32(7);
            p.appendFrom(&one, 0, 1);
        }
        p.writeString16(units.data(), units.size());
        p.setDataPosition(offset);
        if (Bundle::readString(&p) != convertedText(units)) return "text";
        if (p.dataPosition() != p.dataSize()) return "position";
    }
    return "";
}

// "" when writeText gives writeString16(String16(text)) over stale bytes.
std::string writeDiffers(const std::string& text) {
    Parcel p;
    for (int i = 0; i < 64; ++i) p.writeInt32(-1);
    p.setDataSize(0);
    status::codec::writeText(&p, text);
    return bytesOf(p) == string16Bytes(text) ? "" : "bytes";
}

std::string printable(const std::u16string& units) {
    std::string out;
    for (char16_t u : units) out += std::to_string(unsigned(u)) + " ";
    return out;
}

std::string printable(const std::string& text) {
    return hex(Bytes(text.begin(), text.end()));
}

// Generated texts of up to 40 letters, a quarter of them drawn from `pool`.
template <class Text, size_t N>
std::string firstMixedTextFailure(const typename Text::value_type (&pool)[N],
                                  std::string (*differs)(const Text&)) {
    return firstFailure<Text>(
        scaled(4000),
        [&pool](Random& random) {
            Text text(random() % 40, 'x');
            for (auto& c : text) {
                using Unit = typename Text::value_type;
                c = random() % 4 ? static_cast<Unit>('a' + random() % 26) : pool[random() % N];
            }
            return text;
        },
        differs,
        [differs](const Text& text) {
            return printable(shrinkItems(
                text, [differs](const Text& fewer) { return !differs(fewer).empty(); }));
        });
}

}  // namespace

TEST(FastPathTest, ReadStringMatchesTheConverterOnEveryUnitAtEveryPlace) {
    // Under emulation and sanitizers, two places of the four-unit block.
    const size_t places = scaled(8) >= 8 ? 9 : 2;
    for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
        for (size_t at = 0; at < places; ++at) {
            std::u16string units = u"abcdefghi";
            units[at * 7 % 9] = static_cast<char16_t>(unit);
            ASSERT_EQ("", readDiffers(units)) << printable(units);
        }
    }
    const char16_t pool[] = {0,     1,      u'a',   0x7F,   0x80,   0xFF,   0x100,  0x7FF,
                             0x800, 0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};
    EXPECT_EQ("", firstMixedTextFailure<std::u16string>(pool, readDiffers));
}

TEST(FastPathTest, WriteTextMatchesString16OnEveryByteAtEveryPlace) {
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        for (size_t length = 1; length <= 17; ++length) {
            for (size_t at = 0; at < length; ++at) {
                std::string text = std::string("abcdefghijklmnopq").substr(0, length);
                text[at] = static_cast<char>(byte);
                ASSERT_EQ("", writeDiffers(text)) << byte << " at " << at << " of " << length;
            }
        }
    }
    const char pool[] = {'\0', '\x01', '\x7F', '\x80', '\xC3', '\xA9', '\xE2', '\xF0', '\xFF'};
    EXPECT_EQ("", firstMixedTextFailure<std::string>(pool, writeDiffers));
}

// The byte-by-byte hash that orders keys, and the keyed hash that tells keys of one
// hash apart, against the published SipHash-2-4 vectors (key 00..0f, message 00..len-1).
TEST(FastPathTest, KeyHashesMatchTheirReferences) {
    Random random(11);
    for (int t = 0; t < 2000; ++t) {
        std::string key(random() % 24, ' ');
        for (char& c : key) c = static_cast<char>(1 + random() % 255);
        EXPECT_EQ(status::keyHash(key.data(), key.size()), hashOf(key)) << key;
    }
    EXPECT_EQ(status::keyHash("status", 6), -892481550);
    const std::pair<size_t, uint64_t> vectors[] = {{0, 0x726fdb47dd0e0e31u},
                                                   {1, 0x74f839c593dc67fdu},
                                                   {8, 0x93f5f5799a932462u},
                                                   {15, 0xa129ca6149be45e5u}};
    uint8_t message[16];
    for (uint8_t i = 0; i < 16; ++i) message[i] = i;
    const uint64_t k0 = 0x0706050403020100u, k1 = 0x0f0e0d0c0b0a0908u;
    for (const auto& [length, hash] : vectors) {
        EXPECT_EQ((status::sipHash<2, 4>(k0, k1, message, length)), hash) << length;
    }
}
