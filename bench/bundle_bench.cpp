// The bundle against msgpack-c++, FlexBuffers and a plain copy of its encoded bytes,
// on the same entries. Names read phase/library/data set/entries, which is what
// ratios.py pairs up.

#include <android/log.h>
#include <benchmark/benchmark.h>
#include <binder/Parcel.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>

#include "bench/BundleOps.h"
#include "bench/Fixtures.h"
#include "bench/HeapCounter.h"
#include "bench/PeerOps.h"

namespace bench {

namespace {

using benchmark::State;
using status::Bundle;

const Fixture& fixtureOf(State& state, Set set) {
    return fixture(set, static_cast<size_t>(state.range(0)));
}

void perEntry(State& state, const Fixture& f) {
    state.counters["entries"] = static_cast<double>(f.entries.size());
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(f.entries.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void encodedBytes(State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// ---- the library

void bundleBuild(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        Bundle b = build(f.entries);
        benchmark::DoNotOptimize(b.mTree);
    }
    perEntry(state, f);
}

void bundleLookUp(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        lookUp(f.bundle, f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

void bundleLookUpDecoded(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    android::Parcel parcel;
    parcel.setData(f.encoded.data(), f.encoded.size());
    const Bundle decoded(&parcel);
    Sink sink;
    for (auto _ : state) {
        lookUp(decoded, f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

void bundleEncode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        android::Parcel p;
        f.bundle.toParcel(&p);
        benchmark::DoNotOptimize(p.data());
    }
    encodedBytes(state, f.encoded.size());
    perEntry(state, f);
}

void bundleDecode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    android::Parcel p;
    p.setData(f.encoded.data(), f.encoded.size());
    for (auto _ : state) {
        p.setDataPosition(0);
        Bundle b(&p);
        benchmark::DoNotOptimize(b.mTree);
    }
    encodedBytes(state, f.encoded.size());
    perEntry(state, f);
}

void bundleRoundTrip(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        android::Parcel p;
        build(f.entries).toParcel(&p);
        p.setDataPosition(0);
        const Bundle decoded(&p);
        lookUp(decoded, f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

// ---- msgpack-c++: pack a map, unpack it, look every key up

void msgpackEncode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        msgpack::sbuffer buffer;
        peer::pack(f.entries, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    encodedBytes(state, f.packed.size());
    perEntry(state, f);
}

void msgpackDecode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        msgpack::object_handle handle =
            msgpack::unpack(reinterpret_cast<const char*>(f.packed.data()), f.packed.size());
        benchmark::DoNotOptimize(handle.get().via.map.ptr);
    }
    encodedBytes(state, f.packed.size());
    perEntry(state, f);
}

void msgpackLookUp(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    const msgpack::object_handle handle =
        msgpack::unpack(reinterpret_cast<const char*>(f.packed.data()), f.packed.size());
    Sink sink;
    for (auto _ : state) {
        peer::lookUp(handle.get(), f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

void msgpackRoundTrip(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        msgpack::sbuffer buffer;
        peer::pack(f.entries, buffer);
        const msgpack::object_handle handle = msgpack::unpack(buffer.data(), buffer.size());
        peer::lookUp(handle.get(), f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

// ---- FlexBuffers: build a map, verify it, look every key up in place

void flexEncode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        flexbuffers::Builder fbb;
        peer::build(f.entries, fbb);
        benchmark::DoNotOptimize(fbb.GetBuffer().data());
    }
    encodedBytes(state, f.flex.size());
    perEntry(state, f);
}

void flexDecode(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) benchmark::DoNotOptimize(peer::verify(f.flex));
    encodedBytes(state, f.flex.size());
    perEntry(state, f);
}

void flexLookUp(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        peer::lookUp(f.flex, f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

void flexRoundTrip(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        flexbuffers::Builder fbb;
        peer::build(f.entries, fbb);
        const std::vector<uint8_t>& buffer = fbb.GetBuffer();
        if (!peer::verify(buffer)) state.SkipWithError("FlexBuffers refused its own buffer");
        peer::lookUp(buffer, f.entries, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

// ---- the floor: copying the bundle's encoded bytes

void floorCopy(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    std::vector<uint8_t> target(f.encoded.size());
    for (auto _ : state) {
        memcpy(target.data(), f.encoded.data(), f.encoded.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    encodedBytes(state, f.encoded.size());
    perEntry(state, f);
}

// ---- memory: what one bundle of N entries keeps on the heap, built and decoded

void heapCounters(State& state, const HeapUse& use, size_t n) {
    const double entries = static_cast<double>(n);
    state.counters["heap_bytes_per_entry"] = use.heapBytes / entries;
    state.counters["new_bytes_per_entry"] = use.newBytes / entries;
    state.counters["allocs_per_entry"] = use.calls / entries;
}

void memoryBuilt(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    HeapUse use{};
    for (auto _ : state) {
        const HeapCount count;
        Bundle b = build(f.entries);
        use = count.use();
        benchmark::DoNotOptimize(b.mTree);
    }
    heapCounters(state, use, f.entries.size());
    state.counters["encoded_bytes_per_entry"] =
        static_cast<double>(f.encoded.size()) / static_cast<double>(f.entries.size());
}

void memoryDecoded(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    android::Parcel p;
    p.setData(f.encoded.data(), f.encoded.size());
    HeapUse use{};
    for (auto _ : state) {
        p.setDataPosition(0);
        const HeapCount count;
        Bundle b(&p);
        use = count.use();
        benchmark::DoNotOptimize(b.mTree);
    }
    heapCounters(state, use, f.entries.size());
}

void memoryMsgpack(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    HeapUse use{};
    for (auto _ : state) {
        const HeapCount count;
        msgpack::object_handle handle =
            msgpack::unpack(reinterpret_cast<const char*>(f.packed.data()), f.packed.size());
        use = count.use();
        benchmark::DoNotOptimize(handle.get().via.map.ptr);
    }
    heapCounters(state, use, f.entries.size());
    state.counters["encoded_bytes_per_entry"] =
        static_cast<double>(f.packed.size()) / static_cast<double>(f.entries.size());
}

void memoryFlex(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    state.counters["encoded_bytes_per_entry"] =
        static_cast<double>(f.flex.size()) / static_cast<double>(f.entries.size());
    state.counters["heap_bytes_per_entry"] = state.counters["encoded_bytes_per_entry"];
    for (auto _ : state) benchmark::DoNotOptimize(f.flex.data());
}

// ---- the parts of a put or get native after the key's characters are taken: the
// temporary handle on the tree, and the lookup in a bundle of 64 keys like the JVM
// benchmark's

void nativeHandle(State& state) {
    Bundle bundle;
    bundle.set("k", 1);
    for (auto _ : state) {
        Bundle temporary(bundle.mTree);
        benchmark::DoNotOptimize(temporary.mTree);
    }
}

void nativeLookUp(State& state) {
    std::vector<std::string> keys;
    for (int i = 0; i < 64; ++i) keys.push_back("status.key." + std::to_string(100 + i));
    std::shuffle(keys.begin(), keys.end(), std::mt19937(20261206));
    Bundle bundle;
    for (size_t i = 0; i < keys.size(); ++i) bundle.set(keys[i].c_str(), static_cast<int>(i));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bundle.getInt32(keys[i++ & 63].c_str()));
    }
}

using Body = void (*)(State&, Set);

void add(const char* phase, const char* library, Set set, Body body,
         const std::vector<int64_t>& sizes) {
    const std::string name = std::string(phase) + "/" + library + "/" + nameOf(set);
    benchmark::internal::Benchmark* b =
        benchmark::RegisterBenchmark(name.c_str(), [body, set](State& s) { body(s, set); });
    for (int64_t n : sizes) b->Arg(n);
}

void registerAll() {
    const std::vector<int64_t> sizes = {10, 100, 1000};
    // The plots' range. A decoded tree is a chain, so reading all of it stops at 10,000.
    const std::vector<int64_t> scale = {10, 100, 1000, 10000, 100000};
    add("build", "bundle", Set::Mixed, bundleBuild, scale);
    add("lookup", "bundle", Set::Mixed, bundleLookUp, scale);
    add("lookup_decoded", "bundle", Set::Mixed, bundleLookUpDecoded, {10, 100, 1000, 10000});
    add("encode", "bundle", Set::Mixed, bundleEncode, scale);
    add("decode", "bundle", Set::Mixed, bundleDecode, scale);
    add("roundtrip", "bundle", Set::Mixed, bundleRoundTrip, sizes);
    add("encode", "msgpack", Set::Mixed, msgpackEncode, scale);
    add("decode", "msgpack", Set::Mixed, msgpackDecode, scale);
    add("lookup", "msgpack", Set::Mixed, msgpackLookUp, scale);
    add("roundtrip", "msgpack", Set::Mixed, msgpackRoundTrip, sizes);
    add("encode", "flexbuffers", Set::Mixed, flexEncode, scale);
    add("decode", "flexbuffers", Set::Mixed, flexDecode, scale);
    add("lookup", "flexbuffers", Set::Mixed, flexLookUp, scale);
    add("roundtrip", "flexbuffers", Set::Mixed, flexRoundTrip, sizes);
    add("copy", "memcpy", Set::Mixed, floorCopy, sizes);

    const std::vector<int64_t> arraySizes = {100, 1000};
    add("encode", "bundle", Set::Arrays, bundleEncode, arraySizes);
    add("decode", "bundle", Set::Arrays, bundleDecode, arraySizes);
    add("copy", "memcpy", Set::Arrays, floorCopy, arraySizes);

    const std::vector<int64_t> adversarial = {1000, 10000};
    for (Set set : {Set::Ascending, Set::Ordinary}) {
        add("build", "bundle", set, bundleBuild, adversarial);
        add("lookup", "bundle", set, bundleLookUp, adversarial);
        add("decode", "bundle", set, bundleDecode, adversarial);
    }

    benchmark::RegisterBenchmark("native_part/handle", nativeHandle);
    benchmark::RegisterBenchmark("native_part/getInt32_of_64", nativeLookUp);

    add("memory", "bundle", Set::Mixed, memoryBuilt, {10000});
    add("memory_decoded", "bundle", Set::Mixed, memoryDecoded, {10000});
    add("memory", "msgpack", Set::Mixed, memoryMsgpack, {10000});
    add("memory", "flexbuffers", Set::Mixed, memoryFlex, {10000});
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
