#pragma once

#include "support/ParcelBytes.h"

namespace fuzz {

using testing_support::Bytes;
using testing_support::bytesOf;
using testing_support::encode;
using testing_support::load;

// Reports the violated property and stops the process where the fuzzer sees it.
[[noreturn]] void fail(const char* what);
inline void expect(bool holds, const char* what) {
    if (!holds) fail(what);
}

// The decoders log every malformed input; the fuzzers do not need the lines.
void silenceLog();

}  // namespace fuzz
