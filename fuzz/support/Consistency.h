#pragma once

#include <stddef.h>
#include <stdint.h>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "support/Parcels.h"

namespace fuzz {

// How many levels of nested bundles and bundle arrays the checks read into.
constexpr int kNestingDepth = 4;

// True when the bundle holds an entry of an unrecognised kind. Such an entry is
// written as its key and kind alone and ends the decoding of whatever follows it, so
// for these bundles only the entries up to it come back from their encoding.
bool hasUnrecognisedKind(const status::Bundle& b);

// True when two distinct keys of the bundle share a hash. The decoder creates the
// keys of such a run in stream order, so the newest comes first again: re-encoding a
// decoded bundle writes each run reversed, and only a second round restores it.
bool hasHashCollision(const status::Bundle& b);

// `again` was decoded from the encoding of `original`, which has no unrecognised
// kind: every key reads the same value of its kind.
void expectSameReads(const status::Bundle& original, const status::Bundle& again);

// The weaker relation when `original` has an entry of an unrecognised kind: the
// entries written before it, and it, come back with the same reads; nothing else.
void expectPrefixReads(const status::Bundle& original, const status::Bundle& again);

// Reads every entry through every getter, checks that re-encoding what was decoded
// gives bytes that decode, consuming them all, to the same reads and re-encode to the
// same bytes; then does the same for every nested value down to `depth` levels.
void check(const status::Bundle& decoded, int depth);
void check(const status::BundleArray& decoded, int depth);

// Decodes arbitrary bytes as a Value, which must stay within them and pass its checks.
template <class Value>
int decodeAndCheck(const uint8_t* data, size_t size) {
    android::Parcel p;
    load(p, data, size);
    const Value decoded(&p);
    expect(p.dataPosition() <= size, "the decoder stays within the data");
    check(decoded, kNestingDepth);
    return 0;
}

}  // namespace fuzz
