#pragma once

#include <stddef.h>
#include <stdint.h>

namespace status {

// h = h * 31 + b over the key's bytes, modulo 2^32, taken four bytes at a time: the
// same value with a quarter of the chain of dependent multiplications.
inline int32_t keyHash(const char* key, size_t length) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(key);
    uint32_t h = 0;
    size_t i = 0;
    for (; i + 4 <= length; i += 4) {
        h = h * 923521u + s[i] * 29791u + s[i + 1] * 961u + s[i + 2] * 31u + s[i + 3];
    }
    for (; i < length; ++i) h = h * 31 + s[i];
    return static_cast<int32_t>(h);
}

}  // namespace status
