// Hostile parcels: 1 MiB of small integer entries whose keys the sender ordered,
// collided or repeated to make the decoder work hard, each beside the same entries in
// the encoder's own order. Also the costs that grow faster than the input by design:
// looking keys up in a chain, and reading down a deep nest.

#include <android/log.h>
#include <benchmark/benchmark.h>
#include <binder/Parcel.h>
#include <stdint.h>
#include <utils/String16.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "support/KeyOrders.h"

namespace {

using status::Bundle;
using namespace testing_support;

constexpr size_t kParcelBytes = 1 << 20;

// ---- keys

// Keys of one to three printable characters, one per hash, in ascending hash order.
Keys keysByHash() {
    std::map<int32_t, std::string> firstByHash;
    std::string key;
    for (int length = 1; length <= 3; ++length) {
        key.assign(static_cast<size_t>(length), '!');
        for (;;) {
            firstByHash.emplace(hashOf(key), key);
            int i = length - 1;
            while (i >= 0 && key[static_cast<size_t>(i)] == '~')
                key[static_cast<size_t>(i--)] = '!';
            if (i < 0) break;
            ++key[static_cast<size_t>(i)];
        }
    }
    Keys keys;
    for (const auto& entry : firstByHash) keys.push_back(entry.second);
    return keys;
}

// Groups of four keys of one hash, the groups of distinct hashes.
Keys smallGroups() {
    Keys keys;
    for (const std::string& head : keysByHash()) {
        for (const std::string& tail : oneHash(1)) keys.push_back(head + tail);
    }
    return keys;
}

// ---- orders

// Half the parcel builds a chain, the rest repeats its deepest key.
Keys deepestRepeated(const Keys& sorted) {
    Keys out(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 3));
    out.resize(sorted.size(), out.back());
    return out;
}

// ---- parcels

void writeEntry(android::Parcel* p, const std::string& key, int32_t value) {
    p->writeString16(android::String16(key.c_str()));
    p->writeInt32(Bundle::TYPE_INT32);
    p->writeInt32(value);
}

Bundle decode(const android::Parcel& parcel) {
    parcel.setDataPosition(0);
    return Bundle(const_cast<android::Parcel*>(&parcel));
}

// As many of the keys as fit in 1 MiB, in the given order, with their count.
void fill(android::Parcel* parcel, const Keys& keys) {
    android::Parcel body;
    int32_t entries = 0;
    for (const std::string& key : keys) {
        const size_t before = body.dataSize();
        writeEntry(&body, key, entries);
        if (2 * sizeof(int32_t) + body.dataSize() > kParcelBytes) {
            body.setDataSize(before);
            break;
        }
        ++entries;
    }
    parcel->writeInt32(Bundle::BUNDLE_MAGIC);
    parcel->writeInt32(entries);
    parcel->appendFrom(&body, 0, body.dataSize());
}

// A parcel as the sender wrote it, beside as many entries in the encoder's own order: the
// same entries written back by the encoder, or, where keys repeat, as many distinct keys.
struct Family {
    const char* name;
    android::Parcel sent;
    android::Parcel ownOrder;
    int32_t entries = 0;

    Family(const char* familyName, const std::function<void(android::Parcel*)>& write,
           const Keys& distinct)
        : name(familyName) {
        write(&sent);
        sent.setDataPosition(sizeof(int32_t));
        entries = sent.readInt32();
        const Bundle decoded = decode(sent);
        if (decoded.mTree != nullptr && decoded.mTree->mCount == entries) {
            decoded.toParcel(&ownOrder);
        } else {
            fill(&ownOrder, Keys(distinct.begin(), distinct.begin() + entries));
        }
    }
    Family(const char* familyName, const Keys& keys, const Keys& distinct)
        : Family(
              familyName, [&keys](android::Parcel* p) { fill(p, keys); }, distinct) {}
};

const std::vector<Family*>& families() {
    static const std::vector<Family*> all = [] {
        // Distinct hashes, ascending, as many as fit: every order holds the same keys.
        Keys fitted;
        size_t bytes = 2 * sizeof(int32_t);
        for (const std::string& key : keysByHash()) {
            bytes += sizeof(int32_t) + (2 * key.size() + 2 + 3) / 4 * 4 + 2 * sizeof(int32_t);
            if (bytes > kParcelBytes) break;
            fitted.push_back(key);
        }
        std::vector<Family*> list = {
            new Family("encoder's order", fitted, fitted),
            new Family("random order", shuffled(fitted, 3), fitted),
            new Family("descending hashes", descending(fitted), fitted),
            new Family("converging hashes", converging(fitted), fitted),
            new Family("smallest, largest, then descending", endsThenDescending(fitted), fitted),
            new Family("scattered between recent keys", scattered(fitted), fitted),
            new Family("one hash", oneHash(8), fitted),
            new Family("one hash, 300-byte shared prefix", oneHash(6, std::string(300, 'p')),
                       fitted),
            new Family("groups of four colliding keys", shuffled(smallGroups(), 3), fitted),
            new Family("deepest key repeated", deepestRepeated(fitted), fitted),
        };
        const Family& collided = *list[6];
        list.push_back(new Family(
            "one hash, re-encoded",
            [&collided](android::Parcel* p) {
                p->appendFrom(&collided.ownOrder, 0, collided.ownOrder.dataSize());
            },
            fitted));
        return list;
    }();
    return all;
}

const Family& family(const benchmark::State& state) {
    return *families()[static_cast<size_t>(state.range(0))];
}

void label(benchmark::State& state) {
    const Family& f = family(state);
    state.SetLabel(f.name);
    state.counters["entries"] = f.entries;
    state.counters["bytes"] = static_cast<double>(f.sent.dataSize());
}

// Argument 1 picks the parcel: 0 as sent, 1 the same entries in the encoder's order.
void BM_Decode(benchmark::State& state) {
    const Family& f = family(state);
    const android::Parcel& parcel = state.range(1) == 0 ? f.sent : f.ownOrder;
    for (auto _ : state) {
        Bundle b = decode(parcel);
        state.PauseTiming();
        b = Bundle();
        state.ResumeTiming();
    }
    label(state);
}

void BM_Encode(benchmark::State& state) {
    const Bundle b = decode(family(state).sent);
    for (auto _ : state) {
        android::Parcel p;
        b.toParcel(&p);
        benchmark::DoNotOptimize(p.dataSize());
        state.PauseTiming();
        p.freeData();
        state.ResumeTiming();
    }
    label(state);
}

void BM_Destroy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Bundle b = decode(family(state).sent);
        state.ResumeTiming();
        b = Bundle();
    }
    label(state);
}

void hostileFamilies(benchmark::internal::Benchmark* b) {
    for (int64_t f = 0; f < static_cast<int64_t>(families().size()); ++f) b->Args({f, 0});
}

BENCHMARK(BM_Decode)
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (int64_t f = 0; f < static_cast<int64_t>(families().size()); ++f) {
            b->Args({f, 0});
            b->Args({f, 1});
        }
    })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Apply(hostileFamilies)->Unit(benchmark::kMillisecond);
// Each round needs an untimed decode first: a few rounds suffice.
BENCHMARK(BM_Destroy)->Apply(hostileFamilies)->Unit(benchmark::kMillisecond)->Iterations(10);

// ---- costs that grow faster than the input

// Every key of a decoded bundle of N keys in the encoder's order: the tree is a chain, so
// the lookups walk N^2/2 nodes in all.
void BM_LookupEveryKeyOfAChain(benchmark::State& state) {
    const Keys keys = keysByHash();
    const size_t n = static_cast<size_t>(state.range(0));
    Bundle b;
    android::Parcel p;
    p.writeInt32(Bundle::BUNDLE_MAGIC);
    p.writeInt32(static_cast<int32_t>(n));
    for (size_t i = 0; i < n; ++i) writeEntry(&p, keys[i], static_cast<int32_t>(i));
    b = decode(p);
    for (auto _ : state) {
        int64_t sum = 0;
        for (size_t i = 0; i < n; ++i) sum += b.getInt32(keys[i].c_str());
        benchmark::DoNotOptimize(sum);
    }
    state.counters["bytes"] = static_cast<double>(p.dataSize());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LookupEveryKeyOfAChain)
    ->RangeMultiplier(4)
    ->Range(1 << 8, 1 << 14)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNSquared);

// A nest `depth` levels deep, one key per level, read down to the bottom: every getBundle
// copies the rest of the nest, so the whole read copies about depth^2 / 2 levels.
void BM_ReadDownANest(benchmark::State& state) {
    const int64_t depth = state.range(0);
    Bundle nest;
    nest.set("leaf", 1);
    for (int64_t i = 0; i < depth; ++i) {
        Bundle outer;
        outer.set("n", nest);
        nest = outer;
    }
    android::Parcel p;
    nest.toParcel(&p);
    for (auto _ : state) {
        Bundle level = decode(p);
        for (int64_t i = 0; i < depth; ++i) level = level.getBundle("n");
        benchmark::DoNotOptimize(level.getInt32("leaf"));
    }
    state.counters["bytes"] = static_cast<double>(p.dataSize());
    state.SetComplexityN(depth);
}
BENCHMARK(BM_ReadDownANest)
    ->RangeMultiplier(4)
    ->Range(1 << 8, 1 << 12)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNSquared);

}  // namespace

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
