#include "bench/HeapCounter.h"

#include <malloc.h>
#include <stdlib.h>

#include <new>

namespace {

// The benchmarks run on one thread; plain counters keep the replaced operators cheap.
bool gCounting = false;
size_t gCalls = 0;
size_t gLiveBytes = 0;
size_t gPeakBytes = 0;

void count(void* p) {
    ++gCalls;
    gLiveBytes += malloc_usable_size(p);
    if (gLiveBytes > gPeakBytes) gPeakBytes = gLiveBytes;
}

void* allocate(size_t size) {
    void* p = malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    if (gCounting) count(p);
    return p;
}

void deallocate(void* p) noexcept {
    if (p == nullptr) return;
    if (gCounting) gLiveBytes -= malloc_usable_size(p);
    free(p);
}

size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    void* p = malloc(size == 0 ? 1 : size);
    if (p != nullptr && gCounting) count(p);
    return p;
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    deallocate(p);
}
void operator delete[](void* p) noexcept {
    deallocate(p);
}
void operator delete(void* p, size_t) noexcept {
    deallocate(p);
}
void operator delete[](void* p, size_t) noexcept {
    deallocate(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    deallocate(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    deallocate(p);
}

namespace bench {

HeapCount::HeapCount()
    : mCalls(gCalls), mNewBytes(gLiveBytes), mHeapBytes(heapInUse()), mPeakBase(gLiveBytes) {
    gPeakBytes = gLiveBytes;
    gCounting = true;
}

HeapCount::~HeapCount() {
    gCounting = false;
}

HeapUse HeapCount::use() const {
    return {static_cast<double>(gCalls - mCalls),
            static_cast<double>(gLiveBytes) - static_cast<double>(mNewBytes),
            static_cast<double>(heapInUse()) - static_cast<double>(mHeapBytes),
            static_cast<double>(gPeakBytes) - static_cast<double>(mPeakBase)};
}

}  // namespace bench
