// Generated bundles, set in random order with keys and values of every kind (keys that
// are not ASCII take the per-kind path), encode to the bytes of an independent writer,
// through the one-block path and through the per-kind encoders alike, and decode back
// to what was set.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "support/Generated.h"
#include "support/KeyOrders.h"
#include "support/Reference.h"
#include "support/Wire.h"

using android::Parcel;
using status::Bundle;
using namespace testing_support;

namespace {

using Settings = std::vector<Setting>;

Settings makeSettings(Random& random) {
    const size_t count = random() % 8 == 0 ? 200 + random() % 400 : random() % 30;
    const unsigned odd = random() % 3;
    std::vector<Text> keys;
    for (size_t i = 0; i < count / 2 + 1; ++i) {
        keys.push_back(
            random() % 8
                ? randomText(random, 12, odd)
                : textOf(withHash(std::string(16, 'q') + randomText(random, 4, odd).utf8, 0x5EED)));
    }
    Settings settings;
    for (size_t i = 0; i < count; ++i) {
        const int32_t kind = static_cast<int32_t>(random() % 13);
        settings.push_back({keys[random() % keys.size()], randomValue(random, kind, odd, 1)});
    }
    return settings;
}

// Encodes over a buffer of other bytes, so that a padding byte left unwritten shows.
Bytes encodeOverStaleBytes(const Bundle& b) {
    Parcel p;
    for (int i = 0; i < 256; ++i) p.writeInt32(-1);
    p.setDataSize(0);
    b.toParcel(&p);
    return bytesOf(p);
}

std::string check(const Settings& settings) {
    const Bundle b = bundleOf(settings);
    const Bytes expected = bundleBytes(settings);
    if (encodeOverStaleBytes(b) != expected) return "toParcel's bytes";
    if (perKindEncoding(b) != expected) return "the per-kind encoders' bytes";
    if (!decodingDifference(expected).empty()) return "decoding: " + decodingDifference(expected);
    Parcel p;
    load(p, expected);
    const Bundle decoded(&p);
    std::map<std::string, const Value*> last;
    for (const Setting& s : settings) last[s.key.utf8] = &s.value;
    for (const auto& [key, value] : last) {
        const std::string differs = readsDiffer(decoded, key, *value, true);
        if (!differs.empty()) return "decoded key " + key + ": " + differs;
    }
    return "";
}

std::string report(const Settings& failing) {
    const Settings settings =
        shrinkItems(failing, [](const Settings& fewer) { return !check(fewer).empty(); });
    std::string out = check(settings) + " after " + std::to_string(settings.size()) + " settings\n";
    for (const Setting& s : settings) {
        out += "  " + s.key.utf8 + " kind " + std::to_string(s.value.kind) + "\n";
    }
    const Bundle b = bundleOf(settings);
    return out + "toParcel:\n" + hex(encodeOverStaleBytes(b)) + "\nper kind:\n" +
           hex(perKindEncoding(b)) + "\nexpected:\n" + hex(bundleBytes(settings));
}

}  // namespace

TEST(EncoderPropertyTest, GeneratedBundlesEncodeAsAnIndependentWriterDoes) {
    EXPECT_EQ("", firstFailure<Settings>(scaled(300), makeSettings, check, report));
}
