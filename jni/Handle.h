#pragma once

#include <jni.h>
#include <stdint.h>

#include "bundle/Bundle.h"

namespace status {
namespace jni {

// A bundle handle is the tree's address widened to 64 bits; 0 is no bundle.
inline Bundle::HashTree* treeOf(jlong handle) {
    return reinterpret_cast<Bundle::HashTree*>(static_cast<uintptr_t>(handle));
}

inline jlong handleOf(Bundle::HashTree* tree) {
    return static_cast<jlong>(reinterpret_cast<uintptr_t>(tree));
}

// One reference of the tree, owned by whoever receives the handle.
inline jlong newHandle(Bundle::HashTree* tree) {
    tree->acquire();
    return handleOf(tree);
}

}  // namespace jni
}  // namespace status
