#include <android/log.h>
#include <gtest/gtest.h>

#include "inspect/Inspect.h"

namespace inspect {
namespace {

// A line that is not UTF-8 would make the JSON form unprintable: its bytes above 0x7F
// are shown as escapes, and UTF-8 lines are kept as they are.
TEST(LogLinesTest, KeepsEachLineWithItsPriorityAndTag) {
    captureLog();
    __android_log_print(ANDROID_LOG_ERROR, "Bundle", "name \xFF\xC3\xA9.");
    __android_log_print(ANDROID_LOG_WARN, "Bundle", "name \xC3\xA9");
    EXPECT_EQ(takeLogLines(), (std::vector<std::string>{"E/Bundle: name \\xFF\\xC3\\xA9.",
                                                        "W/Bundle: name \xC3\xA9"}));
    EXPECT_TRUE(takeLogLines().empty());
}

}  // namespace
}  // namespace inspect
