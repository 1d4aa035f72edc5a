#include "bench/Workload.h"

#include <stdio.h>

#include <algorithm>
#include <random>

namespace bench {

const char* const kNestedKeys[4] = {"alpha", "beta", "gamma", "delta"};

namespace {

std::string keyOf(size_t i) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "key%05zu", i);
    return buffer;
}

Entry scalar(std::string key, Kind kind, int64_t integer) {
    Entry e{std::move(key), kind, integer, 0.0, {}, {}, {}};
    return e;
}

Entry arrayEntry(std::string key, bool ints, size_t seed) {
    Entry e = scalar(std::move(key), ints ? Kind::IntArray : Kind::DoubleArray, 0);
    for (size_t j = 0; j < kArrayLength; ++j) {
        if (ints) {
            e.ints.push_back(static_cast<int>(seed * 31 + j));
        } else {
            e.reals.push_back(static_cast<double>(seed) + static_cast<double>(j) / 8);
        }
    }
    return e;
}

// Keys of one length that differ only in their digits hash in the order of their
// numbers, so entries are set in a fixed random order to give an ordinary tree.
void shuffle(std::vector<Entry>& entries) {
    std::mt19937 random(20261206);
    std::shuffle(entries.begin(), entries.end(), random);
}

}  // namespace

int32_t keyHash(const std::string& key) {
    uint32_t h = 0;
    for (unsigned char c : key) h = h * 31 + c;
    return static_cast<int32_t>(h);
}

std::vector<Entry> mixed(size_t n) {
    std::vector<Entry> out;
    for (size_t i = 0; i < n; ++i) {
        std::string key = keyOf(i);
        if (i == n / 2) {
            out.push_back(scalar(std::move(key), Kind::Nested, 0));
            continue;
        }
        const int64_t v = static_cast<int64_t>(i);
        switch (i % 7) {
            case 0:
                out.push_back(scalar(std::move(key), Kind::Bool, static_cast<int64_t>(i & 1)));
                break;
            case 1:
                out.push_back(scalar(std::move(key), Kind::Int32, v * 1000));
                break;
            case 2:
                out.push_back(scalar(std::move(key), Kind::Int64, v << 33));
                break;
            case 3: {
                Entry e = scalar(std::move(key), Kind::Double, 0);
                e.real = static_cast<double>(i) * 0.25;
                out.push_back(std::move(e));
                break;
            }
            case 4: {
                Entry e = scalar(std::move(key), Kind::String, 0);
                e.text = "status-" + std::to_string(i);
                out.push_back(std::move(e));
                break;
            }
            case 5:
                out.push_back(arrayEntry(std::move(key), true, i));
                break;
            default:
                out.push_back(arrayEntry(std::move(key), false, i));
                break;
        }
    }
    shuffle(out);
    return out;
}

std::vector<Entry> arrayHeavy(size_t n) {
    std::vector<Entry> out;
    for (size_t i = 0; i < n; ++i) out.push_back(arrayEntry(keyOf(i), i % 2 == 0, i));
    shuffle(out);
    return out;
}

std::vector<Entry> ascendingHash(size_t n) {
    std::vector<Entry> out = ordinaryInts(n);
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return keyHash(a.key) < keyHash(b.key); });
    return out;
}

std::vector<Entry> ordinaryInts(size_t n) {
    std::vector<Entry> out;
    for (size_t i = 0; i < n; ++i) {
        out.push_back(scalar(keyOf(i), Kind::Int32, static_cast<int64_t>(i)));
    }
    shuffle(out);
    return out;
}

}  // namespace bench
