#include <tessik/JniHelpers.h>

#include <iterator>

#include "bundle/Bundle.h"
#include "bundle/Log.h"
#include "jni/ScopedJni.h"

namespace status {

namespace {

const char* const BUNDLE_CLASS = "com/quorvel/dovra/statusitem/Bundle";

JNINativeMethod row(const char* name, const char* signature, void* function) {
    return {const_cast<char*>(name), const_cast<char*>(signature), function};
}

template <class F>
void* fn(F* function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

jclass Bundle::_clazz = nullptr;
jfieldID Bundle::_mNativePtr = nullptr;

const JNINativeMethod Bundle::_Methods[30] = {
    row("nativeCreateBundle", "()J", fn(&Bundle::nativeCreateBundle)),
    row("nativeFree", "(J)V", fn(&Bundle::nativeFree)),
    row("nativeFromParcel", "(Landroid/os/Parcel;)J", fn(&Bundle::nativeFromParcel)),
    row("nativeToParcel", "(JLandroid/os/Parcel;)V", fn(&Bundle::nativeToParcel)),
    row("nativePutBoolean", "(JLjava/lang/String;Z)V", fn(&Bundle::nativePutBoolean)),
    row("nativePutInt", "(JLjava/lang/String;I)V", fn(&Bundle::nativePutInt)),
    row("nativePutLong", "(JLjava/lang/String;J)V", fn(&Bundle::nativePutLong)),
    row("nativePutDouble", "(JLjava/lang/String;D)V", fn(&Bundle::nativePutDouble)),
    row("nativePutString", "(JLjava/lang/String;Ljava/lang/String;)V",
        fn(&Bundle::nativePutString)),
    row("nativePutBundle", "(JLjava/lang/String;J)V", fn(&Bundle::nativePutBundle)),
    row("nativePutBooleanArray", "(JLjava/lang/String;[Z)V", fn(&Bundle::nativePutBooleanArray)),
    row("nativePutByteArray", "(JLjava/lang/String;[B)V", fn(&Bundle::nativePutByteArray)),
    row("nativePutShortArray", "(JLjava/lang/String;[S)V", fn(&Bundle::nativePutShortArray)),
    row("nativePutIntArray", "(JLjava/lang/String;[I)V", fn(&Bundle::nativePutIntArray)),
    row("nativePutDoubleArray", "(JLjava/lang/String;[D)V", fn(&Bundle::nativePutDoubleArray)),
    row("nativePutStringArray", "(JLjava/lang/String;[Ljava/lang/String;)V",
        fn(&Bundle::nativePutStringArray)),
    row("nativePutBundleArray", "(JLjava/lang/String;[Lcom/quorvel/dovra/statusitem/Bundle;)V",
        fn(&Bundle::nativePutBundleArray)),
    row("nativeGetBoolean", "(JLjava/lang/String;)Z", fn(&Bundle::nativeGetBoolean)),
    row("nativeGetInt", "(JLjava/lang/String;)I", fn(&Bundle::nativeGetInt)),
    row("nativeGetLong", "(JLjava/lang/String;)J", fn(&Bundle::nativeGetLong)),
    row("nativeGetDouble", "(JLjava/lang/String;)D", fn(&Bundle::nativeGetDouble)),
    row("nativeGetString", "(JLjava/lang/String;)[B", fn(&Bundle::nativeGetString)),
    row("nativeGetBundle", "(JLjava/lang/String;)J", fn(&Bundle::nativeGetBundle)),
    row("nativeGetBooleanArray", "(JLjava/lang/String;)[Z", fn(&Bundle::nativeGetBooleanArray)),
    row("nativeGetByteArray", "(JLjava/lang/String;)[B", fn(&Bundle::nativeGetByteArray)),
    row("nativeGetShortArray", "(JLjava/lang/String;)[S", fn(&Bundle::nativeGetShortArray)),
    row("nativeGetIntArray", "(JLjava/lang/String;)[I", fn(&Bundle::nativeGetIntArray)),
    row("nativeGetDoubleArray", "(JLjava/lang/String;)[D", fn(&Bundle::nativeGetDoubleArray)),
    row("nativeGetStringArray", "(JLjava/lang/String;)[[B", fn(&Bundle::nativeGetStringArray)),
    row("nativeGetBundleArray", "(JLjava/lang/String;)[J", fn(&Bundle::nativeGetBundleArray)),
};

// The local class reference is left to the end of JNI_OnLoad's frame.
void Bundle::jniInit(JNIEnv* env) {
    jclass clazz = nullptr;
    try {
        clazz = env->FindClass(BUNDLE_CLASS);
        jni::throwPending(env);
        if (clazz == nullptr) throw static_cast<jthrowable>(nullptr);
        _clazz = static_cast<jclass>(env->NewGlobalRef(clazz));
        jni::throwPending(env);
        _mNativePtr = env->GetFieldID(clazz, "mNativePtr", "J");
        jni::throwPending(env);
    } catch (jthrowable throwable) {
        env->ExceptionClear();
        printException(env, throwable);
        BUNDLE_LOGE(" $$$ Unable to load %s __", BUNDLE_CLASS);
        if (_clazz != nullptr) {
            env->DeleteGlobalRef(_clazz);
            _clazz = nullptr;
        }
        return;
    }
    if (env->RegisterNatives(clazz, _Methods, std::size(_Methods)) < 0) {
        BUNDLE_LOGE("$$$ Unable to load %s", BUNDLE_CLASS);
    }
}

}  // namespace status
