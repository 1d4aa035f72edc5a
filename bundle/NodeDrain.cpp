// Apart from NodeCache.cpp: a thread-local object with a destructor there would make
// every access to the cache check whether the thread has initialised it.

#include "bundle/NodeCache.h"

namespace status {
namespace nodes {

namespace {

struct Drain {
    ~Drain() { drainThisThread(); }
    void arm() {}
};

thread_local Drain tDrain;

}  // namespace

// The first use of tDrain on a thread registers its destructor for the thread's end.
void armDrain() {
    tDrain.arm();
}

}  // namespace nodes
}  // namespace status
