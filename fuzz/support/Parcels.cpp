#include "support/Parcels.h"

#include <android/log.h>
#include <stdio.h>

#include "bundle/NodeCache.h"

namespace fuzz {

void fail(const char* what) {
    fprintf(stderr, "property violated: %s\n", what);
    fflush(stderr);
    __builtin_trap();
}

void silenceLog() {
    __android_log_set_logger([](const __android_logger_data*, const char*) {});
}

}  // namespace fuzz

// Every target starts with the log silenced: decoding failures log by design.
// libFuzzer compares each input's allocations with its frees and asks LeakSanitizer
// whenever they differ; freed nodes that the thread's node cache keeps make them
// differ, and LeakSanitizer then at times reports the cached nodes. With the cache off
// on the thread that runs the inputs, a leak it reports is one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceLog();
    status::nodes::drainThisThread();
    return 0;
}
