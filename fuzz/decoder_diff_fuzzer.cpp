// The decoder against inserting each entry with getNode in stream order, on streams
// built from the input: keys chosen to collide (one hash, shared prefixes, other
// lengths) or repeat with another kind, values of every kind, counts that lie, and
// the input's last bytes as whatever follows.

#include <fuzzer/FuzzedDataProvider.h>
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "support/Parcels.h"
#include "support/Reference.h"
#include "support/Wire.h"

namespace {

using testing_support::putText;
using testing_support::putWord;

std::u16string keyOf(FuzzedDataProvider& in, const std::vector<std::u16string>& earlier) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (!earlier.empty())
                return earlier[in.ConsumeIntegralInRange<size_t>(0, earlier.size() - 1)];
            [[fallthrough]];
        case 1: {  // of one of four hashes, with a shared prefix of any length
            static const uint32_t kHashes[] = {0, 0x80000000u, 0x12345678u, 0xFFFFFFFFu};
            std::string prefix = std::string(in.ConsumeIntegralInRange(0, 20), 'p') +
                                 in.ConsumeRandomLengthString(8);
            for (char& c : prefix) c = static_cast<char>(1 + (c & 0x7E));
            const std::string key =
                testing_support::withHash(prefix, kHashes[in.ConsumeIntegral<uint8_t>() % 4]);
            return std::u16string(key.begin(), key.end());
        }
        case 2: {  // any units
            std::u16string units(in.ConsumeIntegralInRange(0, 12), u'a');
            for (char16_t& u : units) u = in.ConsumeIntegral<char16_t>();
            return units;
        }
        default: {
            const std::string key = in.ConsumeRandomLengthString(16);
            return std::u16string(key.begin(), key.end());
        }
    }
}

void putValue(FuzzedDataProvider& in, int32_t kind, testing_support::Bytes& out) {
    using status::Bundle;
    const bool lie = in.ConsumeIntegralInRange(0, 15) == 0;
    const uint32_t count = lie ? in.ConsumeIntegral<uint32_t>() : in.ConsumeIntegralInRange(0, 6);
    switch (kind) {
        case Bundle::TYPE_BOOL:
        case Bundle::TYPE_INT32:
            return putWord(out, in.ConsumeIntegral<uint32_t>());
        case Bundle::TYPE_INT64:
        case Bundle::TYPE_DOUBLE:
            putWord(out, in.ConsumeIntegral<uint32_t>());
            return putWord(out, in.ConsumeIntegral<uint32_t>());
        case Bundle::TYPE_STRING:
            return putText(out, keyOf(in, {}));
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY: {
            std::vector<testing_support::Setting> nested(in.ConsumeIntegralInRange(0, 3));
            for (testing_support::Setting& s : nested) {
                s.key = testing_support::textOf(in.ConsumeRandomLengthString(6));
                testing_support::Random random(in.ConsumeIntegral<uint32_t>());
                s.value =
                    testing_support::randomValue(random, in.ConsumeIntegralInRange(0, 12), 1, 0);
            }
            testing_support::Bytes bytes = testing_support::bundleBytes(nested);
            if (kind == Bundle::TYPE_BUNDLE_ARRAY || in.ConsumeBool()) bytes.clear();
            putWord(out, lie ? count : static_cast<uint32_t>(bytes.size()));
            out.insert(out.end(), bytes.begin(), bytes.end());
            return;
        }
        default:
            putWord(out, count);
            for (uint32_t i = 0; i < count && i < 8; ++i) {
                putWord(out, in.ConsumeIntegral<uint32_t>());
                if (kind == Bundle::TYPE_DOUBLE_ARRAY) putWord(out, in.ConsumeIntegral<uint32_t>());
                if (kind == Bundle::TYPE_STRING_ARRAY) putWord(out, 0);
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const uint32_t entries = in.ConsumeIntegralInRange(0, 600);
    const bool lie = in.ConsumeIntegralInRange(0, 7) == 0;
    testing_support::Bytes stream;
    putWord(stream, static_cast<uint32_t>(status::Bundle::BUNDLE_MAGIC));
    const size_t countAt = stream.size();
    putWord(stream, 0);
    std::vector<std::u16string> keys;
    uint32_t written = 0;
    for (; written < entries && in.remaining_bytes() > 0; ++written) {
        keys.push_back(keyOf(in, keys));
        putText(stream, keys.back());
        const int32_t kind = in.ConsumeIntegralInRange(0, 13);
        putWord(stream, static_cast<uint32_t>(kind == 13 ? in.ConsumeIntegral<int32_t>() : kind));
        putValue(in, kind, stream);
    }
    const uint32_t count = lie ? in.ConsumeIntegral<uint32_t>() : written;
    for (int i = 0; i < 4; ++i) stream[countAt + i] = static_cast<uint8_t>(count >> (8 * i));
    const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
    stream.insert(stream.end(), rest.begin(), rest.end());

    const std::string differs = testing_support::decodingDifference(stream);
    fuzz::expect(differs.empty(), differs.c_str());
    return 0;
}
