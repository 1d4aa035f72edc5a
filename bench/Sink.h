#pragma once

// Where every benchmark puts the values it reads back, so that each library under
// test does the same work per key: scalars are summed, a string is copied out, array
// elements are copied into reused vectors.

#include <stdint.h>

#include <string>
#include <vector>

namespace bench {

struct Sink {
    int64_t integers = 0;
    double reals = 0;
    size_t bytes = 0;
    std::string text;
    std::vector<int> ints;
    std::vector<double> doubles;

    void take(const std::string& s) { bytes += s.size(); }
    void tookInts() { bytes += ints.size() * sizeof(int); }
    void tookDoubles() { bytes += doubles.size() * sizeof(double); }
    int64_t digest() const {
        return integers + static_cast<int64_t>(reals) + static_cast<int64_t>(bytes);
    }
};

}  // namespace bench
