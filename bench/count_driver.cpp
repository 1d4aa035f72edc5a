// Runs each operation of the instruction-count table k and then 2k times, and marks
// where each run starts and ends by calling count_boundary(), which the counting tools
// watch: qemu-arm's execution log on 32-bit ARM, callgrind's dumps on the host. At the
// end the driver prints one label per boundary, in order; counts.py pairs them with
// the counts between boundaries and takes (count(2k) - count(k)) / k, so that nothing
// the driver does around an operation remains in its row.
//
// Usage: count_driver            (every row)
//        count_driver PREFIX     (the rows PREFIX names, or whose names begin with PREFIX/)

#include <android/log.h>
#include <binder/Parcel.h>
#include <jni.h>
#include <stdio.h>
#include <utils/String16.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench/BundleOps.h"
#include "bench/MsgpackOps.h"
#include "bench/Workload.h"
#include "bundle/Bundle.h"
#include "statusitem/Item.h"

// The boundary the counting tools look for: a function of its own that nothing
// inlines, so that every call executes its first instruction at one known address.
extern "C" __attribute__((noinline, used)) void count_boundary(int sequence) {
    __asm__ volatile("" : : "r"(sequence) : "memory");
}

namespace bench {

namespace {

using status::Bundle;

volatile int64_t gDigest;  // keeps every result alive

std::string gOnly;                 // the rows asked for
std::vector<std::string> gLabels;  // one per boundary; printed at the end

// A row is asked for by its name or by the first parts of it ("decode/bundle").
bool wanted(const std::string& name) {
    return name.compare(0, gOnly.size(), gOnly) == 0 &&
           (gOnly.empty() || name.size() == gOnly.size() || name[gOnly.size()] == '/');
}

// Warms the operation up (lazy binding, first allocations), then runs it k and 2k
// times. The labels are made before the first boundary, so that the two runs differ
// only in the operations they make.
template <class Op>
void measure(const std::string& name, int k, Op op) {
    if (!wanted(name)) return;
    for (const std::string& label :
         {"warm " + name, "run " + name + " " + std::to_string(k),
          "run " + name + " " + std::to_string(2 * k), std::string("idle")}) {
        gLabels.push_back(label);
    }
    int sequence = static_cast<int>(gLabels.size()) - 4;
    count_boundary(++sequence);
    op();
    count_boundary(++sequence);
    for (int i = 0; i < k; ++i) op();
    count_boundary(++sequence);
    for (int i = 0; i < 2 * k; ++i) op();
    count_boundary(++sequence);
}

// A VM stand-in for the natives: a jstring is the address of its modified UTF-8
// characters, and arrays are never looked at. What remains is the natives' own C++.
JNIEnv* fakeEnv() {
    static JNINativeInterface_ table = [] {
        JNINativeInterface_ t{};
        t.GetStringUTFChars = [](JNIEnv*, jstring s, jboolean*) -> const char* {
            return reinterpret_cast<const char*>(s);
        };
        t.ReleaseStringUTFChars = [](JNIEnv*, jstring, const char*) {};
        t.ExceptionCheck = [](JNIEnv*) -> jboolean { return JNI_FALSE; };
        t.NewByteArray = [](JNIEnv*, jsize) -> jbyteArray {
            static char array;
            return reinterpret_cast<jbyteArray>(&array);
        };
        t.SetByteArrayRegion = [](JNIEnv*, jbyteArray, jsize, jsize length, const jbyte*) {
            gDigest = gDigest + length;
        };
        t.DeleteLocalRef = [](JNIEnv*, jobject) {};
        return t;
    }();
    static JNIEnv env{&table};
    return &env;
}

jstring fakeString(const std::string& s) {
    return reinterpret_cast<jstring>(const_cast<char*>(s.c_str()));
}

void collections(size_t n) {
    const std::vector<Entry> entries = mixed(n);
    const Bundle bundle = build(entries);
    android::Parcel encoded;
    bundle.toParcel(&encoded);
    msgpack::sbuffer packed;
    peer::pack(entries, packed);
    const msgpack::object_handle unpacked = msgpack::unpack(packed.data(), packed.size());
    // About 200 entries per run, at least one operation.
    const int k = std::max(1, static_cast<int>(200 / n));
    const std::string suffix = "/mixed/" + std::to_string(n);
    Sink sink;

    measure("build/bundle" + suffix, k, [&] {
        const Bundle b = build(entries);
        gDigest = gDigest + (b.mTree != nullptr);
    });
    measure("encode/bundle" + suffix, k, [&] {
        android::Parcel p;
        bundle.toParcel(&p);
        gDigest = gDigest + static_cast<int64_t>(p.dataSize());
    });
    measure("decode/bundle" + suffix, k, [&] {
        encoded.setDataPosition(0);
        const Bundle b(&encoded);
        gDigest = gDigest + (b.mTree != nullptr);
    });
    measure("lookup/bundle" + suffix, k, [&] {
        lookUp(bundle, entries, sink);
        gDigest = sink.digest();
    });
    measure("encode/msgpack" + suffix, k, [&] {
        msgpack::sbuffer buffer;
        peer::pack(entries, buffer);
        gDigest = gDigest + static_cast<int64_t>(buffer.size());
    });
    measure("decode/msgpack" + suffix, k, [&] {
        const msgpack::object_handle h = msgpack::unpack(packed.data(), packed.size());
        gDigest = gDigest + h.get().via.map.size;
    });
    measure("lookup/msgpack" + suffix, k, [&] {
        peer::lookUp(unpacked.get(), entries, sink);
        gDigest = sink.digest();
    });
}

// The C++ part of a put and a get native, through the natives themselves, in bundles
// of 64 keys like the JVM benchmark's, and the two parts every such native has: the
// temporary handle on the tree and the walk to the key.
void natives() {
    std::vector<std::string> keys;
    for (int i = 0; i < 64; ++i) keys.push_back("status.key." + std::to_string(100 + i));
    std::shuffle(keys.begin(), keys.end(), std::mt19937(20261206));
    Bundle ints;
    Bundle texts;
    for (size_t i = 0; i < keys.size(); ++i) {
        ints.set(keys[i].c_str(), static_cast<int>(i));
        texts.set(keys[i].c_str(), ("value-" + std::to_string(i)).c_str());
    }
    std::vector<std::string> values;
    for (size_t i = 0; i < keys.size(); ++i) values.push_back("value-" + std::to_string(i + 1));
    JNIEnv* env = fakeEnv();
    const jlong intHandle = static_cast<jlong>(reinterpret_cast<uintptr_t>(ints.mTree));
    const jlong textHandle = static_cast<jlong>(reinterpret_cast<uintptr_t>(texts.mTree));
    size_t i = 0;
    const int k = 64;

    measure("native/handle", k, [&] {
        const Bundle temporary(texts.mTree);
        gDigest = gDigest + (temporary.mTree != nullptr);
    });
    measure("native/walk", k, [&] {
        const Bundle::HashNode* node = texts.mTree->getNode(keys[i++ & 63].c_str(), false);
        gDigest = gDigest + (node != nullptr);
    });
    measure("native/put_int", k,
            [&] { Bundle::nativePutInt(env, nullptr, intHandle, fakeString(keys[i++ & 63]), 7); });
    measure("native/get_int", k, [&] {
        gDigest =
            gDigest + Bundle::nativeGetInt(env, nullptr, intHandle, fakeString(keys[i++ & 63]));
    });
    measure("native/put_string", k, [&] {
        const size_t at = i++;
        Bundle::nativePutString(env, nullptr, textHandle, fakeString(keys[at & 63]),
                                fakeString(values[at % 61]));
    });
    measure("native/get_string", k, [&] {
        jbyteArray bytes =
            Bundle::nativeGetString(env, nullptr, textHandle, fakeString(keys[i++ & 63]));
        gDigest = gDigest + (bytes != nullptr);
    });
}

// A status item as a producer fills it, and as it is read from a parcel.
void items() {
    android::Parcel parcel;
    parcel.writeString16(android::String16("battery.level"));
    parcel.writeInt32(status::Item::ITEM_STRING);
    parcel.writeString16(android::String16("charging"));
    status::Item item;
    long long value = 0;
    measure("item/set_long", 64, [&] {
        item.setLong("battery.level", ++value);
        gDigest = gDigest + item.mValue.mInt64;
    });
    measure("item/decode_string", 64, [&] {
        parcel.setDataPosition(0);
        const status::Item read(&parcel);
        gDigest = gDigest + static_cast<int64_t>(read.mString.size());
    });
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    __android_log_set_minimum_priority(ANDROID_LOG_FATAL);
    bench::gOnly = argc > 1 ? argv[1] : "";
    bench::gLabels.reserve(512);
    for (size_t n : {10, 100, 1000}) bench::collections(n);
    bench::natives();
    bench::items();
    for (const std::string& label : bench::gLabels) printf("%s\n", label.c_str());
    return 0;
}
