#pragma once

// The data sets every benchmark shares, independent of any container: a list of keys
// with typed values that each library under test stores, encodes and reads back.

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace bench {

enum class Kind { Bool, Int32, Int64, Double, String, IntArray, DoubleArray, Nested };

constexpr size_t kArrayLength = 16;

struct Entry {
    std::string key;
    Kind kind;
    int64_t integer;            // Bool, Int32, Int64
    double real;                // Double
    std::string text;           // String
    std::vector<int> ints;      // IntArray
    std::vector<double> reals;  // DoubleArray
};

// The small bundle nested once in a mixed workload: four int entries.
extern const char* const kNestedKeys[4];

// Mixed kinds in a fixed cycle (scalars, a string, int and double arrays), with one
// nested bundle. Keys are "key" plus five digits; entries come in a fixed random order.
std::vector<Entry> mixed(size_t n);

// Only int and double arrays, alternating.
std::vector<Entry> arrayHeavy(size_t n);

// Int entries whose keys hash in ascending order: each new key becomes the right
// child of the previous one.
std::vector<Entry> ascendingHash(size_t n);

// The same int entries in a fixed random order, for comparison.
std::vector<Entry> ordinaryInts(size_t n);

int32_t keyHash(const std::string& key);

}  // namespace bench
