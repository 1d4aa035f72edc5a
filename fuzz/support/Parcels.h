#pragma once

#include <binder/Parcel.h>
#include <stddef.h>
#include <stdint.h>

#include <vector>

namespace fuzz {

using Bytes = std::vector<uint8_t>;

// A parcel holding a copy of the bytes, positioned at the first one.
void load(android::Parcel& p, const uint8_t* data, size_t size);
inline void load(android::Parcel& p, const Bytes& bytes) {
    load(p, bytes.data(), bytes.size());
}

Bytes bytesOf(const android::Parcel& p);

// Reports the violated property and stops the process where the fuzzer sees it.
[[noreturn]] void fail(const char* what);
inline void expect(bool holds, const char* what) {
    if (!holds) fail(what);
}

// The decoders log every malformed input; the fuzzers do not need the lines.
void silenceLog();

}  // namespace fuzz
