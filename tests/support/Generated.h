#pragma once

// Generated cases: seeded, and shrunk to the smallest failing input found before they
// are reported (entries first, then bytes).

#include <stdint.h>
#include <stdlib.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/ParcelBytes.h"

namespace testing_support {

// std::mt19937's numbers as 32-bit words on every target.
class Random {
public:
    using result_type = uint32_t;
    explicit Random(uint32_t seed) : mEngine(seed) {}
    static constexpr uint32_t min() { return 0; }
    static constexpr uint32_t max() { return UINT32_MAX; }
    uint32_t operator()() { return static_cast<uint32_t>(mEngine()); }

private:
    std::mt19937 mEngine;
};

// STATUSITEM_SEED replays or explores other cases; the default keeps runs repeatable.
inline uint32_t baseSeed() {
    const char* seed = getenv("STATUSITEM_SEED");
    return seed != nullptr ? static_cast<uint32_t>(strtoul(seed, nullptr, 0)) : 20261207u;
}

// Sanitizers and the emulator run a quarter as many cases, ThreadSanitizer (which is
// there for the threads of other tests) a sixteenth.
inline int scaled(int cases) {
#if defined(__SANITIZE_THREAD__)
    return cases / 16 + 1;
#elif defined(__SANITIZE_ADDRESS__) || defined(__arm__)
    return cases / 4 + 1;
#else
    return cases;
#endif
}

// Removes runs of items, then single ones, while `fails` holds.
template <class Items, class Fails>
Items shrinkItems(Items items, Fails fails, size_t granule = 1) {
    for (size_t chunk = items.size() / 2; chunk >= granule; chunk /= 2) {
        chunk -= chunk % granule;
        for (size_t at = 0; at + chunk <= items.size() && chunk > 0;) {
            Items fewer(items.begin(), items.begin() + static_cast<long>(at));
            fewer.insert(fewer.end(), items.begin() + static_cast<long>(at + chunk), items.end());
            if (fails(fewer)) {
                items.swap(fewer);
            } else {
                at += chunk;
            }
        }
        if (chunk == granule) break;
    }
    return items;
}

// Whole words first, then the bytes of the last one.
inline Bytes shrinkBytes(Bytes bytes, const std::function<bool(const Bytes&)>& fails) {
    bytes = shrinkItems(bytes, fails, 4);
    while (!bytes.empty() && fails(Bytes(bytes.begin(), bytes.end() - 1))) bytes.pop_back();
    return bytes;
}

// Runs `check` on `cases` generated cases (seeds from baseSeed() on); `check` returns
// "" or what went wrong. The first failure comes back with its seed and the smallest
// failing case that `report` finds and describes; "" when every case passed.
template <class Case>
std::string firstFailure(int cases, const std::function<Case(Random&)>& make,
                         const std::function<std::string(const Case&)>& check,
                         const std::function<std::string(const Case&)>& report) {
    const uint32_t base = baseSeed();
    for (int i = 0; i < cases; ++i) {
        const uint32_t seed = base + static_cast<uint32_t>(i);
        Random random(seed);
        const Case c = make(random);
        const std::string failure = check(c);
        if (failure.empty()) continue;
        return "seed " + std::to_string(seed) + " (STATUSITEM_SEED=" + std::to_string(base) +
               ", case " + std::to_string(i) + "): " + failure + "\nsmallest failing input:\n" +
               report(c);
    }
    return "";
}

}  // namespace testing_support
