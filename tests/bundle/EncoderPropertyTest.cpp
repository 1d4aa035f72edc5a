// Generated bundles, set in random order with keys and values of every kind (keys that
// are not ASCII take the per-kind path), encode to the bytes of an independent writer,
// through the one-block path and through the per-kind encoders alike, and decode back
// to what was set.

#include <gtest/gtest.h>

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

std::string report(const Settings& failing) {
    const Settings settings = shrinkItems(
        failing, [](const Settings& fewer) { return !encodingDifference(fewer).empty(); });
    std::string out =
        encodingDifference(settings) + " after " + std::to_string(settings.size()) + " settings\n";
    for (const Setting& s : settings) {
        out += "  " + s.key.utf8 + " kind " + std::to_string(s.value.kind) + "\n";
    }
    const Bundle b = bundleOf(settings);
    return out + "toParcel:\n" + hex(encodeOverStaleBytes(b)) + "\nper kind:\n" +
           hex(perKindEncoding(b)) + "\nexpected:\n" + hex(bundleBytes(settings));
}

}  // namespace

TEST(EncoderPropertyTest, GeneratedBundlesEncodeAsAnIndependentWriterDoes) {
    EXPECT_EQ("", firstFailure<Settings>(scaled(300), makeSettings, encodingDifference, report));
}
