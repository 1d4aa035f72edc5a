// The costliest inputs the decoder accepts as it stands: 1 MiB of small integer
// entries whose keys come in hash order, so that the unbalanced tree becomes a chain.

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

// The encoding itself: as many keys as fit in 1 MiB, in ascending hash order as the
// encoder writes them, or in descending order, which makes every new key walk the
// whole chain before it is linked at its end.
struct WorstCase {
    android::Parcel parcel;
    int32_t entries = 0;

    explicit WorstCase(bool descending) {
        std::vector<std::string> chosen;
        android::Parcel body;
        for (const std::string& key : keysByHash()) {
            writeEntry(&body, key, 0);
            if (2 * sizeof(int32_t) + body.dataSize() > kParcelBytes) break;
            chosen.push_back(key);
        }
        if (descending) std::reverse(chosen.begin(), chosen.end());
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

// The benchmark's argument: 0 for ascending hash order, 1 for descending.
const WorstCase& worstCase(const benchmark::State& state) {
    static const WorstCase* const ascending = new WorstCase(false);
    static const WorstCase* const descending = new WorstCase(true);
    return state.range(0) == 0 ? *ascending : *descending;
}

void setCounters(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "ascending hashes" : "descending hashes");
    state.counters["entries"] = worstCase(state).entries;
    state.counters["bytes"] = static_cast<double>(worstCase(state).parcel.dataSize());
}

void BM_Decode(benchmark::State& state) {
    int32_t decoded = 0;
    for (auto _ : state) {
        Bundle b = worstCase(state).decode();
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

// A decode in descending order takes seconds, and every destroy needs one first: a
// few rounds suffice.
BENCHMARK(BM_Decode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Destroy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
