#include "bundle/NodeCache.h"

#include <new>

#include "bundle/Bundle.h"

#ifdef STATUS_NODE_CACHE_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace status {
namespace nodes {

struct FreeNode {
    FreeNode* next;
};

static_assert(sizeof(Bundle::HashNode) >= sizeof(FreeNode), "a freed node holds the link");

// Plain data, zero at a thread's start, so that reaching it needs no initialisation.
struct Cache {
    FreeNode* head;
    size_t count;
    bool armed;  // the drain is registered for this thread
    bool ended;  // the thread is past its drain: nothing is kept any more
};

namespace {

thread_local Cache tCache;

// Under AddressSanitizer a cached node stays poisoned, so that a use after delete is
// still reported; only its link is opened while the list is worked on.
void setPoisoned(void* node, size_t size, bool poisoned) {
#ifdef STATUS_NODE_CACHE_ASAN
    if (poisoned) {
        ASAN_POISON_MEMORY_REGION(node, size);
    } else {
        ASAN_UNPOISON_MEMORY_REGION(node, size);
    }
#else
    (void)node, (void)size, (void)poisoned;
#endif
}

FreeNode* pop(Cache* cache) {
    FreeNode* node = cache->head;
    setPoisoned(node, sizeof(FreeNode), false);
    cache->head = node->next;
    --cache->count;
    setPoisoned(node, sizeof(Bundle::HashNode), false);
    return node;
}

}  // namespace

__attribute__((noinline)) Cache* thisThread() noexcept {
    return &tCache;
}

void* take(Cache* cache, size_t size) {
    if (size != sizeof(Bundle::HashNode) || cache->head == nullptr) return ::operator new(size);
    return pop(cache);
}

void give(Cache* cache, void* node) noexcept {
    if (cache->count >= kCachedPerThread || cache->ended) {
        ::operator delete(node);
        return;
    }
    if (!cache->armed) {
        cache->armed = true;
        armDrain();
    }
    FreeNode* freed = static_cast<FreeNode*>(node);
    freed->next = cache->head;
    setPoisoned(freed, sizeof(Bundle::HashNode), true);
    cache->head = freed;
    ++cache->count;
}

void drainThisThread() noexcept {
    Cache* cache = thisThread();
    cache->ended = true;
    while (cache->head != nullptr) ::operator delete(pop(cache));
}

size_t cachedOnThisThread() {
    return thisThread()->count;
}

}  // namespace nodes

void* Bundle::HashNode::allocate(size_t size) {
    return nodes::take(nodes::thisThread(), size);
}

void Bundle::HashNode::release(void* node) noexcept {
    if (node != nullptr) nodes::give(nodes::thisThread(), node);
}

}  // namespace status
