// The costliest input the decoder accepts as it stands: 1 MiB of small integer
// entries whose keys come in ascending hash order, so the unbalanced tree becomes a
// chain and every insertion walks all the nodes before it.

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

// The encoding itself, written entry by entry until the next one would pass 1 MiB.
struct WorstCase {
    android::Parcel parcel;
    int32_t entries = 0;

    WorstCase() {
        android::Parcel body;
        for (const std::string& key : keysByHash()) {
            const size_t before = body.dataSize();
            body.writeString16(android::String16(key.c_str()));
            body.writeInt32(Bundle::TYPE_INT32);
            body.writeInt32(entries);
            if (2 * sizeof(int32_t) + body.dataSize() > kParcelBytes) {
                body.setDataSize(before);
                break;
            }
            ++entries;
        }
        parcel.writeInt32(Bundle::BUNDLE_MAGIC);
        parcel.writeInt32(entries);
        parcel.appendFrom(&body, 0, body.dataSize());
    }

    Bundle decode() const {
        parcel.setDataPosition(0);
        return Bundle(const_cast<android::Parcel*>(&parcel));
    }
};

const WorstCase& worstCase() {
    static const WorstCase* instance = new WorstCase();
    return *instance;
}

void setCounters(benchmark::State& state) {
    state.counters["entries"] = worstCase().entries;
    state.counters["bytes"] = static_cast<double>(worstCase().parcel.dataSize());
}

void BM_Decode(benchmark::State& state) {
    for (auto _ : state) {
        Bundle b = worstCase().decode();
        state.PauseTiming();
        b = Bundle();
        state.ResumeTiming();
    }
    setCounters(state);
}

void BM_Encode(benchmark::State& state) {
    const Bundle b = worstCase().decode();
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
        Bundle b = worstCase().decode();
        state.ResumeTiming();
        b = Bundle();
    }
    setCounters(state);
}

// Every destroy needs a decode first, which takes seconds: a few rounds suffice.
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Destroy)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    worstCase();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
