#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace status {

// SipHash-c-d of a message under a 128-bit key (k0 holds its first eight bytes, little
// endian). Without the key, a sender cannot choose texts that collide more often than
// chance would.
template <int C, int D>
uint64_t sipHash(uint64_t k0, uint64_t k1, const void* data, size_t length) {
    uint64_t v0 = k0 ^ 0x736f6d6570736575u;
    uint64_t v1 = k1 ^ 0x646f72616e646f6du;
    uint64_t v2 = k0 ^ 0x6c7967656e657261u;
    uint64_t v3 = k1 ^ 0x7465646279746573u;
    const auto rotl = [](uint64_t x, int b) { return (x << b) | (x >> (64 - b)); };
    const auto rounds = [&](int n) {
        for (int i = 0; i < n; ++i) {
            v0 += v1;
            v1 = rotl(v1, 13) ^ v0;
            v0 = rotl(v0, 32);
            v2 += v3;
            v3 = rotl(v3, 16) ^ v2;
            v0 += v3;
            v3 = rotl(v3, 21) ^ v0;
            v2 += v1;
            v1 = rotl(v1, 17) ^ v2;
            v2 = rotl(v2, 32);
        }
    };
    const auto* bytes = static_cast<const unsigned char*>(data);
    const size_t whole = length & ~size_t{7};
    for (size_t i = 0; i < whole; i += 8) {
        uint64_t m = 0;
        for (size_t b = 0; b < 8; ++b) m |= uint64_t{bytes[i + b]} << (8 * b);
        v3 ^= m;
        rounds(C);
        v0 ^= m;
    }
    uint64_t last = uint64_t{length & 0xFF} << 56;
    for (size_t i = whole; i < length; ++i) last |= uint64_t{bytes[i]} << (8 * (i - whole));
    v3 ^= last;
    rounds(C);
    v0 ^= last;
    v2 ^= 0xFF;
    rounds(D);
    return v0 ^ v1 ^ v2 ^ v3;
}

}  // namespace status
