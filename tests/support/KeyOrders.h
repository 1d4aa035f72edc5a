#pragma once

// Key sets and orders that a sender may choose to make the decoder work hard, shared by
// the decoder's tests and its benchmark.

#include <stdint.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace testing_support {

using Keys = std::vector<std::string>;

inline int32_t hashOf(const std::string& key) {
    uint32_t h = 0;
    for (unsigned char c : key) h = h * 31 + c;
    return static_cast<int32_t>(h);
}

// "Aa", "BB", "C#" and "D\x04" hash alike, so all strings of n blocks from the first
// `choices` of them share one hash; `prefix` makes long shared prefixes.
inline Keys oneHash(size_t blocks, const std::string& prefix = "", size_t choices = 4) {
    static const char* const kBlocks[] = {"Aa", "BB", "C#", "D\x04"};
    Keys keys = {prefix};
    for (size_t b = 0; b < blocks; ++b) {
        Keys longer;
        for (const std::string& key : keys) {
            for (size_t c = 0; c < choices; ++c) longer.push_back(key + kBlocks[c]);
        }
        keys.swap(longer);
    }
    return keys;
}

inline Keys byHash(Keys keys) {
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return hashOf(a) < hashOf(b);
    });
    return keys;
}

inline Keys shuffled(Keys keys, unsigned seed) {
    std::shuffle(keys.begin(), keys.end(), std::mt19937(seed));
    return keys;
}

inline Keys descending(const Keys& keys) {
    Keys sorted = byHash(keys);
    return Keys(sorted.rbegin(), sorted.rend());
}

// Smallest, largest, second smallest...: each key lies between all keys before it.
inline Keys converging(const Keys& keys) {
    const Keys sorted = byHash(keys);
    Keys out;
    for (size_t lo = 0, hi = sorted.size(); lo < hi;) {
        out.push_back(sorted[lo++]);
        if (lo < hi) out.push_back(sorted[--hi]);
    }
    return out;
}

// The smallest, the largest, then the rest in descending order.
inline Keys endsThenDescending(const Keys& keys) {
    const Keys sorted = byHash(keys);
    Keys out = {sorted.front(), sorted.back()};
    for (size_t i = sorted.size() - 1; i-- > 1;) out.push_back(sorted[i]);
    return out;
}

// Bit-reversed ranks: each key lands between two keys that came shortly before it.
inline Keys scattered(const Keys& keys) {
    const Keys sorted = byHash(keys);
    size_t bits = 0;
    while ((size_t{1} << bits) < sorted.size()) ++bits;
    Keys out;
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        size_t reversed = 0;
        for (size_t b = 0; b < bits; ++b) reversed |= (i >> b & 1) << (bits - 1 - b);
        if (reversed < sorted.size()) out.push_back(sorted[reversed]);
    }
    return out;
}

}  // namespace testing_support
