#pragma once

// The decoders' reads, made again to find where each entry starts and where and why
// decoding ends. The values themselves are taken from the library's decoded objects;
// the walk only mirrors the reads (and the bounds the decoders put on counts), and the
// caller checks that both end at the same byte.

#include <binder/Parcel.h>
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace inspect {

struct Problem {
    size_t offset = 0;
    std::string entry;  // the key (or path) of the entry it concerns, if any
    std::string reason;
    bool ends = true;   // decoding stopped here
    bool logs = false;  // the library writes a log line for it
    std::vector<std::string> log;
};

struct EntryTrace {
    size_t offset = 0;
    std::string key;
    int32_t kind = 0;
    size_t valueOffset = 0;
};

struct BundleTrace {
    size_t start = 0;
    size_t end = 0;
    std::vector<EntryTrace> entries;  // in stream order, repeated keys included
    std::vector<Problem> problems;
};

struct ArrayTrace {
    size_t start = 0;
    size_t end = 0;
    std::vector<BundleTrace> elements;
    std::vector<Problem> problems;  // the array's own; each element carries its own
};

struct ItemTrace {
    size_t start = 0;
    size_t end = 0;
    std::string key;
    int32_t type = 0;
    size_t valueOffset = 0;
    BundleTrace bundle;  // for a bundle value
    std::vector<Problem> problems;
};

// Each walks one value from the parcel's position and leaves the position after it.
BundleTrace traceBundle(const android::Parcel& p);
ArrayTrace traceArray(const android::Parcel& p);
ItemTrace traceItem(const android::Parcel& p);

}  // namespace inspect
