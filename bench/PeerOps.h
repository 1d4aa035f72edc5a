#pragma once

// What a developer would use instead: msgpack-c++ (MsgpackOps.h) and FlexBuffers (a
// map read in place after verification).

#include <flatbuffers/flexbuffers.h>

#include <vector>

#include "bench/MsgpackOps.h"
#include "bench/Sink.h"
#include "bench/Workload.h"

namespace bench {
namespace peer {

// Builds the map and finishes the buffer.
void build(const std::vector<Entry>& entries, flexbuffers::Builder& fbb);

bool verify(const std::vector<uint8_t>& buffer);

void lookUp(const std::vector<uint8_t>& buffer, const std::vector<Entry>& entries, Sink& sink);

}  // namespace peer
}  // namespace bench
