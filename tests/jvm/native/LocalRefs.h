#pragma once

#include <jni.h>

// The JNI local references the calling thread holds in all its frames, as the VM
// reports them; -1 when the VM cannot report them.
jint localRefsOfThisThread(JNIEnv* env);
