#include <gtest/gtest.h>

#include "inspect/Inspect.h"

namespace inspect {
namespace {

Bytes asInput(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A full line of 16 bytes and five more.
const Bytes kBytes = {0x42, 0x4E, 0x44, 0x4C, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                      0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};

Bytes starred() {
    Bytes out(66, 0);
    out[0] = 0x42, out[1] = 0x4E, out[2] = 0x44, out[3] = 0x4C, out[64] = 0x01, out[65] = 0x02;
    return out;
}

const struct {
    const char* name;
    const char* text;
    Bytes bytes;
} kDumps[] = {
    {"java demo",
     "   0000  42 4e 44 4c 00 01 02 03 04 05 06 07 08 09 0a 0b\n"
     "   0010  0c 0d 0e 0f 10\n",
     kBytes},
    {"native demo",
     "  0000  42 4E 44 4C 00 01 02 03 04 05 06 07 08 09 0A 0B  BNDL............\n"
     "  0010  0C 0D 0E 0F 10                                   .....\n",
     kBytes},
    {"hexdump -C",
     "00000000  42 4e 44 4c 00 01 02 03  04 05 06 07 08 09 0a 0b  |BNDL............|\n"
     "00000010  0c 0d 0e 0f 10                                    |.....|\n"
     "00000015\n",
     kBytes},
    {"xxd",
     "00000000: 424e 444c 0001 0203 0405 0607 0809 0a0b  BNDL............\n"
     "00000010: 0c0d 0e0f 10                             .....\n",
     kBytes},
    {"plain", "424e444c000102030405060708090a0b0c0d0e0f10", kBytes},
    {"spaced", " 42 4e\t44\n4c 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 \r\n", kBytes},
    // No offset: it would not count.
    {"wide gaps", "424e444c  00010203 0405060708090a0b0c0d0e0f10\n", kBytes},
    {"comments", "424e444c # magic\n000102030405060708090a0b0c0d0e0f10 # the rest\n", kBytes},
    // hexdump -C shows a run of rows like the one before as "*".
    {"rows a star stands for",
     "00000000  42 4e 44 4c 00 00 00 00  00 00 00 00 00 00 00 00  |BNDL............|\n"
     "00000010  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  |................|\n"
     "*\n"
     "00000040  01 02                                             |..|\n"
     "00000042\n",
     starred()},
    // The text column may hold hex-looking words; only 16 bytes a line are taken.
    {"hex in the text column",
     "0000  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f  ab cd\n0010  10\n",
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
};

TEST(HexInputTest, ReadsEachDumpFormat) {
    for (const auto& dump : kDumps) {
        const Bytes input = asInput(dump.text);
        Bytes out;
        std::string error;
        EXPECT_TRUE(looksLikeHex(input)) << dump.name;
        EXPECT_TRUE(parseHex(input, out, error)) << dump.name << ": " << error;
        EXPECT_EQ(out, dump.bytes) << dump.name;
    }
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
