#pragma once

// Simple counterparts of the library's fast paths, and comparisons that say where
// two results differ ("" when they do not).

#include <string>

#include "bundle/Bundle.h"
#include "support/ParcelBytes.h"
#include "support/Wire.h"

namespace testing_support {

// Decodes a bundle as the decoder did before it built trees in one pass: each entry
// inserted with getNode, in stream order, and its value decoded into the key's node.
status::Bundle decodeByInsertion(const Bytes& stream);

// Node for node: shape, key, hash, kind, every value field and the stored bytes.
std::string treeDifference(const status::Bundle& got, const status::Bundle& want);

// Each entry written by the kind's own encoder, in the encoder's order.
Bytes perKindEncoding(const status::Bundle& bundle);

// The decoder against decodeByInsertion on the stream: trees, log lines, and the
// position where each stopped.
std::string decodingDifference(const Bytes& stream);

// The bundle that the settings make, encoded over stale bytes.
Bytes encodeOverStaleBytes(const status::Bundle& bundle);

// The bundle that the settings make against the independent writer: its encoding, its
// per-kind encoding, and what decoding that gives.
std::string encodingDifference(const std::vector<Setting>& settings);

}  // namespace testing_support
