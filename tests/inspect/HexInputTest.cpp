#include <gtest/gtest.h>

#include "inspect/Input.h"

namespace inspect {
namespace {

Bytes asInput(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

const Bytes kSixBytes = {0x42, 0x4E, 0x44, 0x4C, 0x01, 0x00};

struct Dump {
    const char* name;
    const char* text;
};

// Each holds the same six bytes.
const Dump kDumps[] = {
    {"java demo", "   0000  42 4e 44 4c 01 00\n"},
    {"native demo", "  0000  42 4E 44 4C 01 00                                BNDL..\n"},
    {"hexdump -C", "00000000  42 4e 44 4c 01 00  |BNDL..|\n00000006\n"},
    {"xxd", "00000000: 424e 444c 0100  BNDL..\n"},
    {"plain", "424e444c0100"},
    {"spaced", " 42 4e\t44\n4c 01 00 \r\n"},
    {"wide gaps", "424e444c  0100\n"},  // a first word is no offset unless it counts
    {"comments", "424e444c # magic\n0100 # count\n"},
};

TEST(HexInputTest, ReadsEachDumpFormat) {
    for (const Dump& dump : kDumps) {
        const Bytes input = asInput(dump.text);
        Bytes out;
        std::string error;
        EXPECT_TRUE(looksLikeHex(input)) << dump.name;
        EXPECT_TRUE(parseHex(input, out, error)) << dump.name << ": " << error;
        EXPECT_EQ(out, kSixBytes) << dump.name;
    }
}

// A dump's text column may hold hex-looking words; only 16 bytes a line are taken.
TEST(HexInputTest, StopsAtTheTextColumn) {
    const std::string row = "0000  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f  ab cd\n";
    Bytes out;
    std::string error;
    ASSERT_TRUE(parseHex(asInput(row + "0010  10\n"), out, error)) << error;
    ASSERT_EQ(out.size(), 17u);
    EXPECT_EQ(out[16], 0x10);
}

TEST(HexInputTest, RefusesWhatIsNoHex) {
    const std::pair<const char*, const char*> kBad[] = {
        {"424e4\n", "line 1: an odd number of hex digits"},
        {"00\n42 4x\n", "line 2: 'x' is not a hex digit"},
    };
    for (const auto& bad : kBad) {
        Bytes out;
        std::string error;
        EXPECT_FALSE(parseHex(asInput(bad.first), out, error)) << bad.first;
        EXPECT_EQ(error, bad.second);
    }
    EXPECT_FALSE(looksLikeHex(Bytes{0x42, 0x4E, 0x44, 0x4C, 0x00}));
}

}  // namespace
}  // namespace inspect
