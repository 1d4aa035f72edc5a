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

// ---- each library as the phases drive it: its bytes of a fixture, one encode, a
// decoder reused across iterations, the form its look-ups read, and one round trip

struct BundlePeer {
    static const std::vector<uint8_t>& bytes(const Fixture& f) { return f.encoded; }
    static void encode(const Fixture& f) {
        android::Parcel p;
        f.bundle.toParcel(&p);
        benchmark::DoNotOptimize(p.data());
    }
    struct Decoder {
        explicit Decoder(const std::vector<uint8_t>& bytes) {
            p.setData(bytes.data(), bytes.size());
        }
        void operator()() {
            p.setDataPosition(0);
            Bundle b(&p);
            benchmark::DoNotOptimize(b.mTree);
        }
        android::Parcel p;
    };
    static const Bundle& readable(const Fixture& f) { return f.bundle; }
    static void lookUp(const Bundle& b, const Fixture& f, Sink& sink) {
        bench::lookUp(b, f.entries, sink);
    }
    static bool roundTrip(const Fixture& f, Sink& sink) {
        android::Parcel p;
        build(f.entries).toParcel(&p);
        p.setDataPosition(0);
        const Bundle decoded(&p);
        bench::lookUp(decoded, f.entries, sink);
        return true;
    }
};

// msgpack-c++: pack a map, unpack it, look every key up
struct MsgpackPeer {
    static const std::vector<uint8_t>& bytes(const Fixture& f) { return f.packed; }
    static void encode(const Fixture& f) {
        msgpack::sbuffer buffer;
        peer::pack(f.entries, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    struct Decoder {
        explicit Decoder(const std::vector<uint8_t>& bytes) : bytes(bytes) {}
        void operator()() {
            msgpack::object_handle handle =
                msgpack::unpack(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            benchmark::DoNotOptimize(handle.get().via.map.ptr);
        }
        const std::vector<uint8_t>& bytes;
    };
    static msgpack::object_handle readable(const Fixture& f) {
        return msgpack::unpack(reinterpret_cast<const char*>(f.packed.data()), f.packed.size());
    }
    static void lookUp(const msgpack::object_handle& handle, const Fixture& f, Sink& sink) {
        peer::lookUp(handle.get(), f.entries, sink);
    }
    static bool roundTrip(const Fixture& f, Sink& sink) {
        msgpack::sbuffer buffer;
        peer::pack(f.entries, buffer);
        const msgpack::object_handle handle = msgpack::unpack(buffer.data(), buffer.size());
        peer::lookUp(handle.get(), f.entries, sink);
        return true;
    }
};

// FlexBuffers: build a map, verify it, look every key up in place
struct FlexPeer {
    static const std::vector<uint8_t>& bytes(const Fixture& f) { return f.flex; }
    static void encode(const Fixture& f) {
        flexbuffers::Builder fbb;
        peer::build(f.entries, fbb);
        benchmark::DoNotOptimize(fbb.GetBuffer().data());
    }
    struct Decoder {
        explicit Decoder(const std::vector<uint8_t>& bytes) : bytes(bytes) {}
        void operator()() { benchmark::DoNotOptimize(peer::verify(bytes)); }
        const std::vector<uint8_t>& bytes;
    };
    static const std::vector<uint8_t>& readable(const Fixture& f) { return f.flex; }
    static void lookUp(const std::vector<uint8_t>& buffer, const Fixture& f, Sink& sink) {
        peer::lookUp(buffer, f.entries, sink);
    }
    static bool roundTrip(const Fixture& f, Sink& sink) {
        flexbuffers::Builder fbb;
        peer::build(f.entries, fbb);
        const std::vector<uint8_t>& buffer = fbb.GetBuffer();
        if (!peer::verify(buffer)) return false;
        peer::lookUp(buffer, f.entries, sink);
        return true;
    }
};

// ---- one body per phase

template <class Peer>
void encodePhase(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) Peer::encode(f);
    encodedBytes(state, Peer::bytes(f).size());
    perEntry(state, f);
}

template <class Peer>
void decodePhase(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    typename Peer::Decoder decode(Peer::bytes(f));
    for (auto _ : state) decode();
    encodedBytes(state, Peer::bytes(f).size());
    perEntry(state, f);
}

template <class Peer>
void lookUpPhase(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    const auto& readable = Peer::readable(f);
    Sink sink;
    for (auto _ : state) {
        Peer::lookUp(readable, f, sink);
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

template <class Peer>
void roundTripPhase(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    Sink sink;
    for (auto _ : state) {
        if (!Peer::roundTrip(f, sink)) state.SkipWithError("a library refused its own encoding");
        benchmark::DoNotOptimize(sink.digest());
    }
    perEntry(state, f);
}

// ---- phases only the library has

void bundleBuild(State& state, Set set) {
    const Fixture& f = fixtureOf(state, set);
    for (auto _ : state) {
        Bundle b = build(f.entries);
        benchmark::DoNotOptimize(b.mTree);
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
    add("lookup", "bundle", Set::Mixed, lookUpPhase<BundlePeer>, scale);
    add("lookup_decoded", "bundle", Set::Mixed, bundleLookUpDecoded, {10, 100, 1000, 10000});
    add("encode", "bundle", Set::Mixed, encodePhase<BundlePeer>, scale);
    add("decode", "bundle", Set::Mixed, decodePhase<BundlePeer>, scale);
    add("roundtrip", "bundle", Set::Mixed, roundTripPhase<BundlePeer>, sizes);
    add("encode", "msgpack", Set::Mixed, encodePhase<MsgpackPeer>, scale);
    add("decode", "msgpack", Set::Mixed, decodePhase<MsgpackPeer>, scale);
    add("lookup", "msgpack", Set::Mixed, lookUpPhase<MsgpackPeer>, scale);
    add("roundtrip", "msgpack", Set::Mixed, roundTripPhase<MsgpackPeer>, sizes);
    add("encode", "flexbuffers", Set::Mixed, encodePhase<FlexPeer>, scale);
    add("decode", "flexbuffers", Set::Mixed, decodePhase<FlexPeer>, scale);
    add("lookup", "flexbuffers", Set::Mixed, lookUpPhase<FlexPeer>, scale);
    add("roundtrip", "flexbuffers", Set::Mixed, roundTripPhase<FlexPeer>, sizes);
    add("copy", "memcpy", Set::Mixed, floorCopy, sizes);

    const std::vector<int64_t> arraySizes = {100, 1000};
    add("encode", "bundle", Set::Arrays, encodePhase<BundlePeer>, arraySizes);
    add("decode", "bundle", Set::Arrays, decodePhase<BundlePeer>, arraySizes);
    add("copy", "memcpy", Set::Arrays, floorCopy, arraySizes);

    const std::vector<int64_t> adversarial = {1000, 10000};
    for (Set set : {Set::Ascending, Set::Ordinary}) {
        add("build", "bundle", set, bundleBuild, adversarial);
        add("lookup", "bundle", set, lookUpPhase<BundlePeer>, adversarial);
        add("decode", "bundle", set, decodePhase<BundlePeer>, adversarial);
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
