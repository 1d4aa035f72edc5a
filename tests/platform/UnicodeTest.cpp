#include <gtest/gtest.h>
#include <utils/String16.h>

#include <string>

using android::String16;

namespace {

std::u16string unitsOf(const String16& s) {
    return std::u16string(s.string(), s.size());
}

}  // namespace

// The conversions themselves are held against the platform's libutils (UnicodeDiff.cpp).
// A null text crashes the device's String16; the host must not turn it into "".
TEST(UnicodeDeathTest, String16FromNullTextCrashes) {
    EXPECT_DEATH({ String16 s(static_cast<const char*>(nullptr)); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char*>(nullptr), 3); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char16_t*>(nullptr)); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char16_t*>(nullptr), 3); }, "");
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
