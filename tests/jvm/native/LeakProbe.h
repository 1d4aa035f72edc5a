#pragma once

#include <jni.h>

#include <vector>

// After a full collection: how many of the objects are still reachable. Deletes the
// weak references.
jint survivors(JNIEnv* env, const std::vector<jweak>& weak);

// The same for the objects given to TestNative.track since the last call.
jint trackedSurvivors(JNIEnv* env);
