#include <gtest/gtest.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <string>

using android::String16;

namespace {

std::u16string unitsOf(const String16& s) {
    return std::u16string(s.string(), s.size());
}

std::string toUtf8(const std::u16string& units) {
    ssize_t n = utf16_to_utf8_length(units.data(), units.size());
    if (n < 1) return std::string();
    std::string out(static_cast<size_t>(n) + 1, '\x7F');
    utf16_to_utf8(units.data(), units.size(), &out[0]);
    EXPECT_EQ(out[static_cast<size_t>(n)], '\0') << "terminator written";
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace

TEST(UnicodeTest, Utf8DecodesLeniently) {
    struct Case {
        std::string utf8;
        std::u16string units;
    };
    const Case cases[] = {
        {"\x30\xC4\x80\xE2\x8C\xA3\xF0\x90\x80\x80", u"\u0030\u0100\u2323\xD800\xDC00"},
        {std::string("\xF8\xC4\x00\xE2\x0C\xA3\xF0\x10\x00\x00", 10),
         u"\u4022\u000C\u00A3\xD800\xDC00"},
        {"\xC1\x81", u"A"},                                      // overlong
        {std::string("\xC0\x80", 2), std::u16string(1, u'\0')},  // overlong zero
        {"\xBF", u"\u00BF"},                            // stray continuation byte stands alone
        {"\xED\xA0\x80\xED\xB0\x80", u"\xD800\xDC00"},  // encoded surrogates
        {"abc\xE2\x8C", u""},                           // cut-short final sequence: all empty
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unitsOf(String16(c.utf8.data(), c.utf8.size())), c.units);
    }
}

TEST(UnicodeTest, Utf16ToUtf8DropsUnpairedSurrogates) {
    struct Case {
        std::u16string units;
        std::string utf8;
    };
    const Case cases[] = {
        {u"a\u00E9\u2323", "a\xC3\xA9\xE2\x8C\xA3"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"x\xD800y", "xy"},
        {u"\xDC00z\xD800", "z"},
        {u"\xD800\xD800\xDC00", "\xF0\x90\x80\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(toUtf8(c.units), c.utf8);
}

TEST(UnicodeTest, EmptyOrNullTextHasLengthMinusOneAndWritesNothing) {
    const char16_t unit = u'a';
    EXPECT_EQ(utf16_to_utf8_length(&unit, 0), -1);
    EXPECT_EQ(utf16_to_utf8_length(nullptr, 3), -1);
    char dst[2] = {'x', 'y'};
    utf16_to_utf8(&unit, 0, dst);
    EXPECT_EQ(dst[0], 'x');
    // A lone surrogate counts nothing, yet the terminator is still written.
    const char16_t lone = 0xD800;
    EXPECT_EQ(utf16_to_utf8_length(&lone, 1), 0);
    utf16_to_utf8(&lone, 1, dst);
    EXPECT_EQ(dst[0], '\0');
}

TEST(UnicodeTest, String16CopiesAndMovesLongAndShortTexts) {
    const std::string longText(100, 'q');
    for (const std::string& text : {std::string("key"), longText}) {
        String16 a(text.c_str());
        String16 copy(a);
        String16 moved(static_cast<String16&&>(a));
        EXPECT_EQ(copy.size(), text.size());
        EXPECT_EQ(unitsOf(moved), unitsOf(copy));
        EXPECT_EQ(a.size(), 0u);
        copy = moved;
        EXPECT_EQ(copy.string()[text.size()], 0);
    }
}
