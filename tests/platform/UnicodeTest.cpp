#include <gtest/gtest.h>
#include <utils/String16.h>

using android::String16;

// The conversions themselves are held against the platform's libutils (UnicodeDiff.cpp).
// A null text crashes the device's String16; the host must not turn it into "".
TEST(UnicodeDeathTest, String16FromNullTextCrashes) {
    EXPECT_DEATH({ String16 s(static_cast<const char*>(nullptr)); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char*>(nullptr), 3); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char16_t*>(nullptr)); }, "");
    EXPECT_DEATH({ String16 s(static_cast<const char16_t*>(nullptr), 3); }, "");
}
