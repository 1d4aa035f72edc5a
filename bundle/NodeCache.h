#pragma once

#include <stddef.h>

// Under AddressSanitizer (GCC or clang) cached nodes are poisoned until taken again.
#if defined(__SANITIZE_ADDRESS__)
#define STATUS_NODE_CACHE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STATUS_NODE_CACHE_ASAN 1
#endif
#endif

// Freed nodes wait in a small per-thread cache for the next tree. The heap's own
// per-thread caches hold few blocks of a node's size, and in a decoded bundle, which
// makes one node per entry, malloc and free took a third of the time.
namespace status {
namespace nodes {

// The most freed nodes a thread keeps; beyond them a freed node goes back to the heap
// at once. A thread's cache is emptied when the thread ends.
constexpr size_t kCachedPerThread = 128;

struct Cache;

// The calling thread's cache. Reaching thread-local data from a shared library costs
// a call on ARM, so a loop that frees many nodes looks it up once.
Cache* thisThread() noexcept;

void* take(Cache* cache, size_t size);
// `node` is a destroyed node's storage, not null.
void give(Cache* cache, void* node) noexcept;

// Has drainThisThread() run when the calling thread ends (NodeDrain.cpp).
void armDrain();
// Empties the calling thread's cache for good.
void drainThisThread() noexcept;

// How many freed nodes the calling thread keeps now.
size_t cachedOnThisThread();

}  // namespace nodes
}  // namespace status
