#pragma once

// msgpack-c++, header-only, as a developer would use it instead: a packed map,
// unpacked into an object tree.

#include <msgpack.hpp>

#include <vector>

#include "bench/Sink.h"
#include "bench/Workload.h"

namespace bench {
namespace peer {

void pack(const std::vector<Entry>& entries, msgpack::sbuffer& out);

// Indexes the unpacked map once, then reads every entry through it.
void lookUp(const msgpack::object& root, const std::vector<Entry>& entries, Sink& sink);

}  // namespace peer
}  // namespace bench
