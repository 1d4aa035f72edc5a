// Apart from NodeCache.cpp: a thread-local object with a destructor there would make
// every access to the cache check whether the thread has initialised it.

namespace status {
namespace nodes {

void drainThisThread() noexcept;
void armDrain();

namespace {

struct Drain {
    ~Drain() { drainThisThread(); }
    void arm() {}
};

thread_local Drain tDrain;

}  // namespace

// Its first use on a thread registers the drain for the thread's end.
void armDrain() {
    tDrain.arm();
}

}  // namespace nodes
}  // namespace status
