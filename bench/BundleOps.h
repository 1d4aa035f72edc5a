#pragma once

// The library under test, driven the way an application would use it.

#include <binder/Parcel.h>

#include <vector>

#include "bench/Sink.h"
#include "bench/Workload.h"
#include "bundle/Bundle.h"

namespace bench {

// The bundle nested in mixed workloads.
const status::Bundle& nestedBundle();

// A new bundle with every entry set, in order.
status::Bundle build(const std::vector<Entry>& entries);

// Reads every entry back through the getter of its kind.
void lookUp(const status::Bundle& bundle, const std::vector<Entry>& entries, Sink& sink);

}  // namespace bench
