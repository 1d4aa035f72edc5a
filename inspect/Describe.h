#pragma once

#include <string>

#include "inspect/Model.h"

namespace inspect {

struct Guess {
    Kind kind;
    std::string why;
};

// What the first word (and the second) suggest the bytes hold.
Guess guessKind(const Bytes& bytes);

// Decodes the bytes with the library and describes what it made, in the order the
// encoder writes it, with the offsets of the walk, the problems met (with the log
// lines the library wrote for them), trailing bytes, and whether the bytes are their
// own re-encoding. Nested values are decoded `depth` levels deep; deeper ones, and any
// whose bytes the decoded value would not re-encode to, also keep their bytes, so
// that the description always encodes back to the library's re-encoding.
Json describe(const Bytes& bytes, Kind kind, int depth);

}  // namespace inspect
