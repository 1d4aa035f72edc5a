// Hostile parcels: 1 MiB of small integer entries whose keys the sender ordered,
// collided or repeated to make the decoder work hard, each beside the same entries in
// the encoder's own order: decoded warm (parcel after parcel) and cold (caches swept,
// the heap given back), with the decoder's peak heap. Also the costs that grow faster
// than the input by design: looking keys up in a chain, and reading down a deep nest.

#include <android/log.h>
#include <benchmark/benchmark.h>
#include <binder/Parcel.h>
#include <malloc.h>
#include <stdint.h>
#include <utils/String16.h>

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench/HeapCounter.h"
#include "bundle/Bundle.h"
#include "statusitem/Item.h"
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

// McIlroy's adversary ("A killer adversary for quicksort", 1999) run against this build's
// std::sort: the values are fixed only as the sort compares them, each time so that its
// pivot is poor. Position i of the result holds rank result[i].
std::vector<size_t> sortAdversary(size_t n) {
    const size_t gas = n;  // not fixed yet: above every fixed value
    std::vector<size_t> value(n, gas);
    size_t fixed = 0;
    size_t candidate = 0;
    std::vector<size_t> items(n);
    std::iota(items.begin(), items.end(), size_t{0});
    std::sort(items.begin(), items.end(), [&](size_t x, size_t y) {
        if (value[x] == gas && value[y] == gas) value[x == candidate ? x : y] = fixed++;
        if (value[x] == gas) {
            candidate = x;
        } else if (value[y] == gas) {
            candidate = y;
        }
        return value[x] < value[y];
    });
    for (size_t& v : value) {
        if (v == gas) v = fixed++;
    }
    return value;
}

// The keys in the order that makes std::sort work hardest on a run of equal hashes as a
// decoder that sorted it would have it: newest entry first.
Keys againstSort(Keys keys) {
    std::sort(keys.begin(), keys.end());
    const std::vector<size_t> rank = sortAdversary(keys.size());
    Keys out;
    for (size_t i = rank.size(); i-- > 0;) out.push_back(keys[rank[i]]);
    return out;
}

// Comparisons per key that std::sort makes on such a run of the keys.
double sortComparisons(const Keys& stream) {
    Keys run(stream.rbegin(), stream.rend());
    size_t comparisons = 0;
    std::sort(run.begin(), run.end(), [&comparisons](const std::string& a, const std::string& b) {
        ++comparisons;
        return a < b;
    });
    return static_cast<double>(comparisons) / static_cast<double>(run.size());
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
void fill(android::Parcel* parcel, const Keys& keys);

// The first keys, as many as fill writes.
Keys fitting(const Keys& keys) {
    android::Parcel p;
    fill(&p, keys);
    p.setDataPosition(sizeof(int32_t));
    return Keys(keys.begin(), keys.begin() + p.readInt32());
}

// A status item whose value is the bundle in `bundle`.
void wrapInItem(android::Parcel* p, const android::Parcel& bundle) {
    p->writeString16(android::String16("status"));
    p->writeInt32(status::Item::ITEM_BUNDLE);
    p->appendFrom(&bundle, 0, bundle.dataSize());
}

// The same entry again and again: a null key, the smallest entry there is.
void flood(android::Parcel* p) {
    const int32_t entries = static_cast<int32_t>((kParcelBytes - 2 * sizeof(int32_t)) / 12);
    p->writeInt32(Bundle::BUNDLE_MAGIC);
    p->writeInt32(entries);
    for (int32_t i = 0; i < entries; ++i) {
        p->writeInt32(-1);
        p->writeInt32(Bundle::TYPE_INT32);
        p->writeInt32(i);
    }
}

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
// same entries written back by the encoder, or, where keys repeat, as many distinct keys
// as fit in the same bytes.
struct Family {
    const char* name;
    android::Parcel sent;
    android::Parcel ownOrder;
    int32_t entries = 0;
    int32_t ownEntries = 0;
    bool item = false;           // the bundle is a status item's value
    double sortComparisons = 0;  // per key, for the families aimed at a sort

    Family(const char* familyName, const std::function<void(android::Parcel*)>& write,
           const Keys& distinct)
        : name(familyName) {
        write(&sent);
        sent.setDataPosition(sizeof(int32_t));
        entries = ownEntries = sent.readInt32();
        const Bundle decoded = decode(sent);
        if (decoded.mTree != nullptr && decoded.mTree->mCount == entries) {
            decoded.toParcel(&ownOrder);
        } else {
            const size_t n = std::min(distinct.size(), static_cast<size_t>(entries));
            fill(&ownOrder,
                 Keys(distinct.begin(), distinct.begin() + static_cast<std::ptrdiff_t>(n)));
            ownOrder.setDataPosition(sizeof(int32_t));
            ownEntries = ownOrder.readInt32();
        }
    }
    Family(const char* familyName, const Keys& keys, const Keys& distinct)
        : Family(
              familyName, [&keys](android::Parcel* p) { fill(p, keys); }, distinct) {}
    // The bundles of `inner` as the value of a status item.
    Family(const char* familyName, const Family& inner)
        : name(familyName),
          entries(inner.entries),
          ownEntries(inner.ownEntries),
          item(true),
          sortComparisons(inner.sortComparisons) {
        wrapInItem(&sent, inner.sent);
        wrapInItem(&ownOrder, inner.ownOrder);
    }
};

// What a parcel decodes to, held until reset so that freeing it stays out of a timing.
class Decoded {
public:
    void from(const Family& f, const android::Parcel& parcel) {
        parcel.setDataPosition(0);
        auto* p = const_cast<android::Parcel*>(&parcel);
        if (f.item) {
            mItem.emplace(p);
        } else {
            mBundle.emplace(p);
        }
    }
    void reset() {
        mItem.reset();
        mBundle.reset();
    }

private:
    std::optional<Bundle> mBundle;
    std::optional<status::Item> mItem;
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
        // Keys of one hash whose first 16 bytes are equal, shuffled and in the order that
        // is worst for this build's std::sort; then the same as a status item's value.
        const Keys prefixed = fitting(oneHash(7, std::string(16, 'p')));
        const auto run = [&list, &fitted](const char* name, const Keys& keys) {
            list.push_back(new Family(name, keys, fitted));
            list.back()->sortComparisons = sortComparisons(keys);
            return list.back();
        };
        const Family* shuffledRun =
            run("one hash, 16 bytes shared, shuffled", shuffled(prefixed, 3));
        const Family* sortRun =
            run("one hash, 16 bytes shared, against std::sort", againstSort(prefixed));
        list.push_back(new Family("status item: 16 bytes shared, shuffled", *shuffledRun));
        list.push_back(new Family("status item: 16 bytes shared, against std::sort", *sortRun));
        list.push_back(new Family("one repeated key (null)", flood, fitted));
        list.push_back(new Family("one hash, shuffled", shuffled(oneHash(8), 3), fitted));
        return list;
    }();
    return all;
}

const Family& family(const benchmark::State& state) {
    return *families()[static_cast<size_t>(state.range(0))];
}

// Argument 1 picks the parcel: 0 as sent, 1 the same entries in the encoder's order.
const android::Parcel& parcelOf(const benchmark::State& state) {
    const Family& f = family(state);
    return state.range(1) == 0 ? f.sent : f.ownOrder;
}

void label(benchmark::State& state) {
    const Family& f = family(state);
    state.SetLabel(f.name);
    state.counters["entries"] = state.range(1) == 0 ? f.entries : f.ownEntries;
    state.counters["bytes"] = static_cast<double>(parcelOf(state).dataSize());
    if (f.sortComparisons != 0) state.counters["sort_cmp_per_key"] = f.sortComparisons;
}

// Parcel after parcel, as a receiver that decodes many runs.
void BM_Decode(benchmark::State& state) {
    const Family& f = family(state);
    const android::Parcel& parcel = parcelOf(state);
    Decoded d;
    for (auto _ : state) {
        d.from(f, parcel);
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    label(state);
}

// As a process's first decode: the caches swept and the freed heap given back to the
// system, so that the decoder touches cold lines and fresh pages.
void BM_DecodeCold(benchmark::State& state) {
    const Family& f = family(state);
    const android::Parcel& parcel = parcelOf(state);
    static std::vector<unsigned char> sweep(64 << 20);
    Decoded d;
    for (auto _ : state) {
        state.PauseTiming();
        d.reset();
        malloc_trim(0);
        for (size_t i = 0; i < sweep.size(); i += 64) ++sweep[i];
        benchmark::DoNotOptimize(sweep.data());
        state.ResumeTiming();
        d.from(f, parcel);
    }
    label(state);
}

// The most heap the decoder holds at once, per input byte (operator new's blocks: nodes,
// keys, elements, the decoder's own tables).
void BM_DecodeHeap(benchmark::State& state) {
    const Family& f = family(state);
    const android::Parcel& parcel = parcelOf(state);
    bench::HeapUse use{};
    for (auto _ : state) {
        Decoded d;
        {
            const bench::HeapCount count;
            d.from(f, parcel);
            use = count.use();
        }
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    label(state);
    state.counters["peak_heap_per_byte"] =
        use.peakNewBytes / static_cast<double>(parcel.dataSize());
}

// The bundle that a family's parcel holds.
Bundle bundleOf(const benchmark::State& state) {
    const android::Parcel& parcel = parcelOf(state);
    if (!family(state).item) return decode(parcel);
    parcel.setDataPosition(0);
    return status::Item(const_cast<android::Parcel*>(&parcel)).mBundle;
}

void BM_Encode(benchmark::State& state) {
    const Bundle b = bundleOf(state);
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
        Bundle b = bundleOf(state);
        state.ResumeTiming();
        b = Bundle();
    }
    label(state);
}

// Each family as sent and in the encoder's order.
void hostileFamilies(benchmark::internal::Benchmark* b) {
    for (int64_t f = 0; f < static_cast<int64_t>(families().size()); ++f) {
        b->Args({f, 0});
        b->Args({f, 1});
    }
}

BENCHMARK(BM_Decode)->Apply(hostileFamilies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCold)->Apply(hostileFamilies)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DecodeHeap)->Apply(hostileFamilies)->Unit(benchmark::kMillisecond)->Iterations(1);
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

// A nest `depth` levels deep, one key per level.
void writeNest(android::Parcel* p, int64_t depth) {
    Bundle nest;
    nest.set("leaf", 1);
    for (int64_t i = 0; i < depth; ++i) {
        Bundle outer;
        outer.set("n", nest);
        nest = outer;
    }
    nest.toParcel(p);
}

// Read down to the bottom: every getBundle copies the rest of the nest, so the whole read
// copies about depth^2 / 2 levels.
void BM_ReadDownANest(benchmark::State& state) {
    const int64_t depth = state.range(0);
    android::Parcel p;
    writeNest(&p, depth);
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

// A reader that keeps every level alive on its way down holds a copy of the rest of the
// nest per level: the heap it holds at the bottom (C allocator's bytes in use).
void BM_KeepEveryLevelOfANest(benchmark::State& state) {
    const int64_t depth = state.range(0);
    android::Parcel p;
    writeNest(&p, depth);
    double held = 0;
    for (auto _ : state) {
        std::vector<Bundle> levels;
        levels.reserve(static_cast<size_t>(depth) + 1);
        const bench::HeapCount count;
        levels.push_back(decode(p));
        for (int64_t i = 0; i < depth; ++i) levels.push_back(levels.back().getBundle("n"));
        held = count.use().heapBytes;
    }
    state.counters["bytes"] = static_cast<double>(p.dataSize());
    state.counters["levels"] = static_cast<double>(depth);
    state.counters["held_bytes"] = held;
}
BENCHMARK(BM_KeepEveryLevelOfANest)
    ->Arg(1 << 10)
    ->Arg(1 << 12)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
