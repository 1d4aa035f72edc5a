#pragma once

// Access to a node's 8-byte scalar slot by bytes: each kind reads and writes only
// its own leading bytes, and the boolean is the first byte whatever it holds.

#include <string.h>

#include "bundle/Bundle.h"

namespace status {
namespace scalar {

template <class T>
void store(Bundle::HashNode& node, T value) {
    memcpy(&node.mValue, &value, sizeof value);
}

template <class T>
T load(const Bundle::HashNode& node) {
    T value;
    memcpy(&value, &node.mValue, sizeof value);
    return value;
}

inline void storeBool(Bundle::HashNode& node, bool value) {
    store<unsigned char>(node, value ? 1 : 0);
}

inline bool loadBool(const Bundle::HashNode& node) {
    return load<unsigned char>(node) != 0;
}

}  // namespace scalar
}  // namespace status
