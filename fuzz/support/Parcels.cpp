#include "support/Parcels.h"

#include <android/log.h>
#include <stdio.h>

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
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceLog();
    return 0;
}
