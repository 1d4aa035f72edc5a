#pragma once

// Inputs prepared once per data set and size, outside the timed loops.

#include <stdint.h>

#include <string>
#include <vector>

#include "bench/Workload.h"
#include "bundle/Bundle.h"

namespace bench {

enum class Set { Mixed, Arrays, Ascending, Ordinary };

struct Fixture {
    std::vector<Entry> entries;
    status::Bundle bundle;         // every entry set
    std::vector<uint8_t> encoded;  // the bundle's parcel bytes
    std::vector<uint8_t> packed;   // msgpack-c++
    std::vector<uint8_t> flex;     // FlexBuffers
};

const Fixture& fixture(Set set, size_t n);

const char* nameOf(Set set);

}  // namespace bench
