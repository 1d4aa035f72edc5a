#pragma once

#include <jni.h>

#include "bundle/Bundle.h"
#include "jni/Boundary.h"
#include "jni/Handle.h"
#include "jni/ScopedJni.h"

namespace status {
namespace jni {

// The frame of every put native: the handle is only used, never consumed. A
// temporary bundle holds one more reference of the tree while the kind's own step
// stores the value; the key's characters are released after it.
template <class Step>
void putFrame(JNIEnv* env, jlong handle, jstring key, Step&& step) noexcept {
    if (handle == 0) return;
    guard(env, [&] {
        Bundle bundle(treeOf(handle));
        ScopedUtfChars chars(env, key);
        if (chars.c_str() == nullptr) return;
        step(bundle, chars.c_str());
    });
}

// The frame of every get native: `read` fills a native value while the key's
// characters are held; they are released before `build` makes any Java object.
template <class Value, class Result, class Read, class Build>
Result getFrame(JNIEnv* env, jlong handle, jstring key, Result neutral, Read&& read,
                Build&& build) noexcept {
    if (handle == 0) return neutral;
    return guard(env, neutral, [&]() -> Result {
        const Bundle bundle(treeOf(handle));
        Value value{};
        {
            ScopedUtfChars chars(env, key);
            if (chars.c_str() == nullptr) return neutral;
            read(bundle, chars.c_str(), value);
        }
        return build(env, value);
    });
}

}  // namespace jni
}  // namespace status
