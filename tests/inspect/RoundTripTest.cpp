// The JSON form of every fuzz input, through text and back, encodes to the library's
// own re-encoding of what it decoded, and so to the input itself when the input is
// its own re-encoding.

#include <android/log.h>
#include <gtest/gtest.h>
#include <string.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "inspect/Inspect.h"
#include "statusitem/Item.h"
#include "support/ParcelBytes.h"

namespace inspect {
namespace {

namespace fs = std::filesystem;

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the library makes of the bytes, written again; none for an item it refuses.
std::optional<Bytes> libraryReencoding(const Bytes& bytes, Kind kind) {
    android::Parcel p;
    testing_support::load(p, bytes);
    using testing_support::encode;
    if (kind == Kind::Bundle) return encode(status::Bundle(&p));
    if (kind == Kind::Array) return encode(status::BundleArray(&p));
    try {
        return encode(status::Item(&p));
    } catch (int) {
        return std::nullopt;
    }
}

TEST(RoundTripTest, EveryFuzzInputEncodesBackToItsReencoding) {
    captureLog();
    const std::pair<const char*, Kind> kTargets[] = {
        {"bundle_fuzzer", Kind::Bundle},
        {"bundle_array_fuzzer", Kind::Array},
        {"item_fuzzer", Kind::Item},
    };
    size_t inputs = 0, exact = 0;
    for (const auto& [target, kind] : kTargets) {
        for (const char* folder : {"corpus", "regressions"}) {
            const fs::path dir = fs::path(FUZZ_DIR) / folder / target;
            if (!fs::is_directory(dir)) continue;
            for (const fs::directory_entry& file : fs::directory_iterator(dir)) {
                const Bytes bytes = readFile(file.path());
                const std::optional<Bytes> expected = libraryReencoding(bytes, kind);
                ++inputs;
                // Depth 0 keeps every nested value as bytes; 8 rebuilds them.
                for (int depth : {0, 8}) {
                    const Json doc = describe(bytes, kind, depth);
                    Bytes out;
                    std::string error;
                    ASSERT_TRUE(encode(Json::parse(doc.dump()), out, error))
                        << file.path() << ": " << error;
                    if (!expected) continue;
                    EXPECT_EQ(out, *expected) << file.path() << " at depth " << depth;
                    EXPECT_EQ(doc["exact"].get<bool>(), *expected == bytes) << file.path();
                }
                takeLogLines();
                if (expected && *expected == bytes) ++exact;
            }
        }
    }
    EXPECT_GT(inputs, 100u);
    EXPECT_GT(exact, 20u);
}

// Values JSON numbers cannot hold as they are: NaN payloads, infinities, the sign of
// zero, the extremes of 64-bit integers.
TEST(RoundTripTest, ExtremeValuesSurviveTheTextForm) {
    const uint64_t payloadNan = 0x7FF4000000000123ull;
    double nan;
    memcpy(&nan, &payloadNan, sizeof nan);
    const double doubles[] = {nan, -HUGE_VAL, HUGE_VAL, -0.0, 4.9e-324, 0.1};
    status::Bundle b;
    b.setArray("doubles", 6, doubles);
    b.set("nan", nan);
    b.set("min", static_cast<long long>(INT64_MIN));
    b.set("text", "\xC3\xA9\x01");
    const Bytes bytes = testing_support::encode(b);
    const Json doc = describe(bytes, Kind::Bundle, 8);
    Bytes out;
    std::string error;
    ASSERT_TRUE(encode(Json::parse(doc.dump()), out, error)) << error;
    EXPECT_EQ(out, bytes);
    EXPECT_TRUE(doc["exact"].get<bool>());
}

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
