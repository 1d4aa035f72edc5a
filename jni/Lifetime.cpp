#include <tessik/JniHelpers.h>

#include "bundle/Bundle.h"
#include "bundle/Log.h"
#include "jni/Boundary.h"
#include "jni/Handle.h"

namespace status {

using jni::guard;
using jni::newHandle;
using jni::treeOf;

jobject Bundle::getJBundle(JNIEnv* env) {
    if (_clazz == nullptr || mTree == nullptr) return nullptr;
    jmethodID constructor = env->GetMethodID(_clazz, "<init>", "(J)V");
    if (constructor == nullptr) {
        BUNDLE_LOGE("Unable to create Bundle(long)");
        return nullptr;
    }
    const jlong handle = newHandle(mTree);
    jobject object = env->NewObject(_clazz, constructor, handle);
    // Looked at for the checker's sake; a pending exception stays for the caller.
    (void)env->ExceptionCheck();
    // Without an object nobody owns the reference taken for it: give it back. The
    // Java constructor takes the handle over only as its last act, so a failed
    // construction never owns it.
    if (object == nullptr) mTree->release();
    return object;
}

jlong Bundle::nativeCreateBundle(JNIEnv* env, jclass) {
    return guard(env, jlong(0), [] { return jni::handleOf(new HashTree()); });
}

void Bundle::nativeFree(JNIEnv*, jclass, jlong handle) {
    if (handle != 0) treeOf(handle)->release();
}

jlong Bundle::nativeFromParcel(JNIEnv* env, jclass, jobject parcel) {
    return guard(env, jlong(0), [&]() -> jlong {
        android::Parcel* p = parcelForJavaObject(env, parcel);
        if (p == nullptr) return 0;
        Bundle bundle(p);
        return newHandle(bundle.getTree());
    });
}

void Bundle::nativeToParcel(JNIEnv* env, jclass, jlong handle, jobject parcel) {
    guard(env, [&] {
        const Bundle bundle(treeOf(handle));
        android::Parcel* p = parcelForJavaObject(env, parcel);
        if (p != nullptr) bundle.toParcel(p);
    });
}

}  // namespace status
