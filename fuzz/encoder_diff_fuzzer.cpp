// The encoder's one-block path, its per-kind encoders and an independent writer of the
// wire format on bundles set from the input: keys of any code points (those that are
// not ASCII take the per-kind path) and of one hash, values of every kind, repeats
// that change kind.

#include <fuzzer/FuzzedDataProvider.h>
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "support/Parcels.h"
#include "support/Reference.h"
#include "support/Wire.h"

namespace {

testing_support::Text textOf(FuzzedDataProvider& in) {
    std::u32string codePoints(in.ConsumeIntegralInRange(0, 10), U'a');
    for (char32_t& c : codePoints) {
        c = in.ConsumeBool() ? in.ConsumeIntegralInRange<char32_t>(1, 0x7F)
                             : in.ConsumeIntegralInRange<char32_t>(0x80, 0x10FFFF);
        if (c >= 0xD800 && c < 0xE000) c += 0x800;  // no surrogate code points
    }
    return testing_support::textOf(codePoints);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<testing_support::Text> keys;
    std::vector<testing_support::Setting> settings;
    while (in.remaining_bytes() > 0 && settings.size() < 200) {
        if (keys.empty() || in.ConsumeIntegralInRange(0, 2) == 0) {
            keys.push_back(in.ConsumeBool() ? textOf(in)
                                            : testing_support::textOf(testing_support::withHash(
                                                  std::string(16, 'q') + textOf(in).utf8, 7)));
        }
        testing_support::Setting s;
        s.key = keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)];
        testing_support::Random random(in.ConsumeIntegral<uint32_t>());
        s.value = testing_support::randomValue(random, in.ConsumeIntegralInRange(0, 12),
                                               in.ConsumeIntegralInRange(0u, 8u), 1);
        settings.push_back(s);
    }
    const std::string differs = testing_support::encodingDifference(settings);
    fuzz::expect(differs.empty(), differs.c_str());
    return 0;
}
