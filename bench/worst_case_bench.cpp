// The costliest inputs the decoder accepts as it stands: 1 MiB of small integer
// entries whose keys come in an order that makes the unbalanced tree a chain.

#include <android/log.h>
#include <benchmark/benchmark.h>
#include <binder/Parcel.h>
#include <stdint.h>
#include <utils/String16.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "bundle/Bundle.h"

namespace {

using status::Bundle;

constexpr size_t kParcelBytes = 1 << 20;

int32_t keyHash(const std::string& key) {
    uint32_t h = 0;
    for (unsigned char c : key) h = h * 31 + c;
    return static_cast<int32_t>(h);
}

// Keys of one to three printable characters, one per hash, in ascending hash order.
std::vector<std::string> keysByHash() {
    std::map<int32_t, std::string> byHash;
    std::string key;
    for (int length = 1; length <= 3; ++length) {
        key.assign(static_cast<size_t>(length), '!');
        for (;;) {
            byHash.emplace(keyHash(key), key);
            int i = length - 1;
            while (i >= 0 && key[static_cast<size_t>(i)] == '~')
                key[static_cast<size_t>(i--)] = '!';
            if (i < 0) break;
            ++key[static_cast<size_t>(i)];
        }
    }
    std::vector<std::string> keys;
    for (const auto& entry : byHash) keys.push_back(entry.second);
    return keys;
}

void writeEntry(android::Parcel* p, const std::string& key, int32_t value) {
    p->writeString16(android::String16(key.c_str()));
    p->writeInt32(Bundle::TYPE_INT32);
    p->writeInt32(value);
}

// The orders of the keys in the parcel: ascending hash as the encoder writes them,
// descending, and converging (smallest, largest, second smallest, second largest...),
// where every new key lies between all the keys before it and walks a path as long
// as their number: the decoder's worst case.
enum Order { kAscending, kDescending, kConverging };
const char* const kOrderNames[] = {"ascending hashes", "descending hashes", "converging hashes"};

// The encoding itself: as many keys as fit in 1 MiB, in the given order.
struct WorstCase {
    android::Parcel parcel;
    int32_t entries = 0;

    explicit WorstCase(Order order) {
        std::vector<std::string> chosen;
        android::Parcel body;
        for (const std::string& key : keysByHash()) {
            writeEntry(&body, key, 0);
            if (2 * sizeof(int32_t) + body.dataSize() > kParcelBytes) break;
            chosen.push_back(key);
        }
        if (order == kDescending) std::reverse(chosen.begin(), chosen.end());
        if (order == kConverging) {
            std::vector<std::string> converging;
            for (size_t low = 0, high = chosen.size(); low < high;) {
                converging.push_back(chosen[low++]);
                if (low < high) converging.push_back(chosen[--high]);
            }
            chosen.swap(converging);
        }
        entries = static_cast<int32_t>(chosen.size());
        parcel.writeInt32(Bundle::BUNDLE_MAGIC);
        parcel.writeInt32(entries);
        for (size_t i = 0; i < chosen.size(); ++i) {
            writeEntry(&parcel, chosen[i], static_cast<int32_t>(i));
        }
    }

    Bundle decode() const {
        parcel.setDataPosition(0);
        return Bundle(const_cast<android::Parcel*>(&parcel));
    }
};

// The benchmark's argument is the Order.
const WorstCase& worstCase(const benchmark::State& state) {
    static const WorstCase* const cases[] = {new WorstCase(kAscending), new WorstCase(kDescending),
                                             new WorstCase(kConverging)};
    return *cases[state.range(0)];
}

void setCounters(benchmark::State& state) {
    state.SetLabel(kOrderNames[state.range(0)]);
    state.counters["entries"] = worstCase(state).entries;
    state.counters["bytes"] = static_cast<double>(worstCase(state).parcel.dataSize());
}

void BM_Decode(benchmark::State& state) {
    const WorstCase& input = worstCase(state);  // made before the clock starts
    int32_t decoded = 0;
    for (auto _ : state) {
        Bundle b = input.decode();
        state.PauseTiming();
        decoded = b.mTree == nullptr ? 0 : b.mTree->mCount;
        b = Bundle();
        state.ResumeTiming();
    }
    setCounters(state);
    state.counters["decoded"] = decoded;
}

void BM_Encode(benchmark::State& state) {
    const Bundle b = worstCase(state).decode();
    for (auto _ : state) {
        android::Parcel p;
        b.toParcel(&p);
        benchmark::DoNotOptimize(p.dataSize());
        state.PauseTiming();
        p.freeData();
        state.ResumeTiming();
    }
    setCounters(state);
}

void BM_Destroy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Bundle b = worstCase(state).decode();
        state.ResumeTiming();
        b = Bundle();
    }
    setCounters(state);
}

// A converging decode takes seconds, and every destroy needs one first: a few rounds
// suffice.
BENCHMARK(BM_Decode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Encode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Destroy)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
