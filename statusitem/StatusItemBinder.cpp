#include "statusitem/StatusItemBinder.h"

#include <android/log.h>
#include <string.h>
#include <tessik/JniHelpers.h>

#include "jni/ScopedJni.h"

#define ITEM_LOG_TAG "StatusItemNative"
#define ITEM_LOGD(...) __android_log_print(ANDROID_LOG_DEBUG, ITEM_LOG_TAG, __VA_ARGS__)
#define ITEM_LOGW(...) __android_log_print(ANDROID_LOG_WARN, ITEM_LOG_TAG, __VA_ARGS__)
#define ITEM_LOGE(...) __android_log_print(ANDROID_LOG_ERROR, ITEM_LOG_TAG, __VA_ARGS__)

namespace status {

namespace {

StaticCreator<StatusItemBinder> statusItemCreator("com.quorvel.dovra.statusitem.StatusItemClient");

jmethodID callback(JNIEnv* env, jclass clazz, const char* name, const char* signature) {
    jmethodID id = env->GetMethodID(clazz, name, signature);
    jni::throwPending(env);
    return id;
}

}  // namespace

StatusItemBinder* StatusItemBinder::_object = nullptr;
jclass StatusItemBinder::_class = nullptr;
jmethodID StatusItemBinder::_statusUpdateBool = nullptr;
jmethodID StatusItemBinder::_statusUpdateLong = nullptr;
jmethodID StatusItemBinder::_statusUpdateDouble = nullptr;
jmethodID StatusItemBinder::_statusUpdateString = nullptr;
jmethodID StatusItemBinder::_statusUpdateBundle = nullptr;

StatusItemBinder::StatusItemBinder() {}

StatusItemBinder::~StatusItemBinder() {}

StatusItemBinder* StatusItemBinder::get() {
    if (_object == nullptr) _object = new StatusItemBinder();
    return _object;
}

// The local class reference is left to the end of JNI_OnLoad's frame.
void StatusItemBinder::jniInit(JNIEnv* env) {
    ITEM_LOGD("StatusItemBinder::jniInit");
    try {
        jclass clazz = env->FindClass("com/quorvel/dovra/statusitem/StatusItemClient");
        jni::throwPending(env);
        if (clazz == nullptr) throw static_cast<jthrowable>(nullptr);
        _class = static_cast<jclass>(env->NewGlobalRef(clazz));
        jni::throwPending(env);
        _statusUpdateBool = callback(env, clazz, "statusUpdateBoolFromNative", "([BZ)V");
        _statusUpdateLong = callback(env, clazz, "statusUpdateLongFromNative", "([BJ)V");
        _statusUpdateDouble = callback(env, clazz, "statusUpdateDoubleFromNative", "([BD)V");
        _statusUpdateString = callback(env, clazz, "statusUpdateStringFromNative", "([B[B)V");
        _statusUpdateBundle = callback(env, clazz, "statusUpdateBundleFromNative",
                                       "([BLcom/quorvel/dovra/statusitem/Bundle;)V");
    } catch (jthrowable throwable) {
        env->ExceptionClear();
        if (_class != nullptr) {
            env->DeleteGlobalRef(_class);
            _class = nullptr;
        }
        ITEM_LOGE(" $$$ Unable to load StatusItemClient");
        if (throwable != nullptr) printException(env, throwable);
    }
    if (_class != nullptr) statusItemCreator.initialize();
}

// Every Java call is followed by ExceptionCheck before the next JNI call: a pending
// exception is looked at, not cleared, and reaches the caller's Java frame.
bool StatusItemBinder::statusUpdate(const Item& item) {
    JNIEnv* env = getJniEnv(getJVM());
    if (env == nullptr) {
        ITEM_LOGE("Unable to retrieve JNI environment");
        return false;
    }
    if (_class == nullptr) {
        ITEM_LOGE("StatusItem Binder is not initialized yet");
        return false;
    }
    if (mClientObject == nullptr) {
        ITEM_LOGE("StatusItem Binder native interface is not initialized yet");
        return false;
    }
    jni::ScopedLocalRef<jbyteArray> key(
        env, createStringByteArray(env, item.mKey.data(), item.mKey.size()));
    switch (static_cast<uint32_t>(item.mType)) {
        case Item::ITEM_BOOL:
            env->CallVoidMethod(mClientObject, _statusUpdateBool, key.get(),
                                static_cast<jboolean>(item.mValue.mBool));
            break;
        case Item::ITEM_LONG:
            env->CallVoidMethod(mClientObject, _statusUpdateLong, key.get(),
                                static_cast<jlong>(item.mValue.mInt64));
            break;
        case Item::ITEM_DOUBLE:
            env->CallVoidMethod(mClientObject, _statusUpdateDouble, key.get(),
                                static_cast<jdouble>(item.mValue.mDouble));
            break;
        case Item::ITEM_STRING: {
            const char* text = item.mString.c_str();
            jni::ScopedLocalRef<jbyteArray> value(env,
                                                  createStringByteArray(env, text, strlen(text)));
            env->CallVoidMethod(mClientObject, _statusUpdateString, key.get(), value.get());
            (void)env->ExceptionCheck();
            break;
        }
        case Item::ITEM_BUNDLE: {
            jobject bundle = nullptr;
            {
                Bundle copy(item.mBundle);
                bundle = copy.getJBundle(env);
            }
            jni::ScopedLocalRef<jobject> value(env, bundle);
            env->CallVoidMethod(mClientObject, _statusUpdateBundle, key.get(), value.get());
            (void)env->ExceptionCheck();
            break;
        }
        default:
            ITEM_LOGW("Unknown item value type");
            break;
    }
    (void)env->ExceptionCheck();
    return true;
}

}  // namespace status
