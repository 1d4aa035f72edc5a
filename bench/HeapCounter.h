#pragma once

// Heap use of the benchmark process, seen through a replaced global operator new
// (which the libraries' C++ allocations go through) and through the C allocator's
// own totals (which also hold the parcels' buffers). Counting is off, and costs
// next to nothing, outside the memory benchmarks.

#include <stddef.h>

namespace bench {

// What a piece of work left on the heap: operator new calls, the usable bytes of the
// blocks still held, and the C allocator's bytes in use (its overhead included); and
// the most usable bytes it held at any one time.
struct HeapUse {
    double calls;
    double newBytes;
    double heapBytes;
    double peakNewBytes;
};

class HeapCount {
public:
    HeapCount();
    ~HeapCount();
    HeapCount(const HeapCount&) = delete;
    HeapCount& operator=(const HeapCount&) = delete;

    HeapUse use() const;

private:
    size_t mCalls;
    size_t mNewBytes;
    size_t mHeapBytes;
    size_t mPeakBase;
};

}  // namespace bench
