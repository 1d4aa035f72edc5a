#pragma once

#include <jni.h>
#include <stddef.h>

namespace android {
class Parcel;
}

// The calling thread's environment, or null (also for a null VM). A thread the VM
// does not know yet is attached, and detached again when the thread ends.
JNIEnv* getJniEnv(JavaVM* vm);

// The native parcel behind a Java android.os.Parcel, owned by the Java object. Null
// for a null object; null with a pending IllegalStateException once the Java parcel
// has given its native parcel up.
android::Parcel* parcelForJavaObject(JNIEnv* env, jobject parcel);

// A new local byte[] holding exactly `length` bytes of `bytes`; null with a pending
// exception when the VM cannot make it.
jbyteArray createStringByteArray(JNIEnv* env, const char* bytes, size_t length);

// Logs the throwable's text; a null throwable is logged as such.
void printException(JNIEnv* env, jthrowable throwable);
