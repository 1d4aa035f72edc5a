#pragma once

#include <jni.h>

namespace status {
namespace jni {

// Leaves a pending OutOfMemoryError, unless the VM already has an exception pending
// (its own out-of-memory error, most likely), which is then kept.
inline void throwOutOfMemory(JNIEnv* env) noexcept {
    if (env->ExceptionCheck()) return;
    jclass clazz = env->FindClass("java/lang/OutOfMemoryError");
    if (clazz == nullptr) return;  // FindClass left its own error pending
    env->ThrowNew(clazz, "native allocation failed");
    env->DeleteLocalRef(clazz);
}

// The edge between a native and the VM: no C++ exception may unwind into Java
// frames. Whatever the body throws (in practice std::bad_alloc) has already given
// back what it held by the time it is caught here; the native then returns its
// neutral result with a pending OutOfMemoryError.
template <class Result, class Body>
Result guard(JNIEnv* env, Result neutral, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        throwOutOfMemory(env);
        return neutral;
    }
}

template <class Body>
void guard(JNIEnv* env, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        throwOutOfMemory(env);
    }
}

}  // namespace jni
}  // namespace status
