#pragma once

// What a developer would use instead: msgpack-c++ (a packed map, unpacked into an
// object tree) and FlexBuffers (a map read in place after verification).

#include <flatbuffers/flexbuffers.h>

#include <msgpack.hpp>

#include <vector>

#include "bench/Sink.h"
#include "bench/Workload.h"

namespace bench {
namespace peer {

void pack(const std::vector<Entry>& entries, msgpack::sbuffer& out);

// Indexes the unpacked map once, then reads every entry through it.
void lookUp(const msgpack::object& root, const std::vector<Entry>& entries, Sink& sink);

// Builds the map and finishes the buffer.
void build(const std::vector<Entry>& entries, flexbuffers::Builder& fbb);

bool verify(const std::vector<uint8_t>& buffer);

void lookUp(const std::vector<uint8_t>& buffer, const std::vector<Entry>& entries, Sink& sink);

}  // namespace peer
}  // namespace bench
