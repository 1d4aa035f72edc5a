#include <android/log.h>
#include <binder/Parcel.h>
#include <pthread.h>
#include <stdint.h>
#include <tessik/JniHelpers.h>

namespace {

const char* const TAG = "tessik";

pthread_key_t gDetachKey;
pthread_once_t gDetachKeyOnce = PTHREAD_ONCE_INIT;

// Runs as a thread that getJniEnv attached ends: the VM forgets it.
void detachThread(void* vm) {
    static_cast<JavaVM*>(vm)->DetachCurrentThread();
}

void makeDetachKey() {
    pthread_key_create(&gDetachKey, detachThread);
}

}  // namespace

JNIEnv* getJniEnv(JavaVM* vm) {
    if (vm == nullptr) return nullptr;
    JNIEnv* env = nullptr;
    jint state = vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6);
    if (state == JNI_OK) return env;
    if (state != JNI_EDETACHED) return nullptr;
    pthread_once(&gDetachKeyOnce, makeDetachKey);
    if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return nullptr;
    if (pthread_setspecific(gDetachKey, vm) != 0) {
        vm->DetachCurrentThread();  // could not promise the detach: do not stay attached
        return nullptr;
    }
    return env;
}

android::Parcel* parcelForJavaObject(JNIEnv* env, jobject parcel) {
    if (parcel == nullptr) return nullptr;
    jclass clazz = env->GetObjectClass(parcel);
    jfieldID field = env->GetFieldID(clazz, "mNativePtr", "J");
    env->DeleteLocalRef(clazz);
    if (field == nullptr) return nullptr;  // NoSuchFieldError pending
    jlong ptr = env->GetLongField(parcel, field);
    if (ptr == 0) {
        jclass ise = env->FindClass("java/lang/IllegalStateException");
        if (ise != nullptr) env->ThrowNew(ise, "Parcel has been finalized!");
        return nullptr;
    }
    return reinterpret_cast<android::Parcel*>(static_cast<uintptr_t>(ptr));
}

jbyteArray createStringByteArray(JNIEnv* env, const char* bytes, size_t length) {
    if (length > static_cast<size_t>(INT32_MAX)) {
        jclass oom = env->FindClass("java/lang/OutOfMemoryError");
        if (oom != nullptr) env->ThrowNew(oom, "byte array too long");
        return nullptr;
    }
    const jsize size = static_cast<jsize>(length);
    jbyteArray array = env->NewByteArray(size);
    if (array != nullptr && size > 0) {
        env->SetByteArrayRegion(array, 0, size, reinterpret_cast<const jbyte*>(bytes));
    }
    return array;
}

void printException(JNIEnv* env, jthrowable throwable) {
    if (throwable == nullptr) {
        __android_log_print(ANDROID_LOG_ERROR, TAG, "Exception: (null)");
        return;
    }
    jclass clazz = env->FindClass("java/lang/Throwable");
    jmethodID toString =
        clazz == nullptr ? nullptr : env->GetMethodID(clazz, "toString", "()Ljava/lang/String;");
    jstring text = toString == nullptr
                       ? nullptr
                       : static_cast<jstring>(env->CallObjectMethod(throwable, toString));
    if (env->ExceptionCheck()) env->ExceptionClear();  // a report must not leave one behind
    const char* chars = text == nullptr ? nullptr : env->GetStringUTFChars(text, nullptr);
    __android_log_print(ANDROID_LOG_ERROR, TAG, "Exception: %s", chars ? chars : "(no text)");
    if (chars != nullptr) env->ReleaseStringUTFChars(text, chars);
    if (env->ExceptionCheck()) env->ExceptionClear();
    if (text != nullptr) env->DeleteLocalRef(text);
    if (clazz != nullptr) env->DeleteLocalRef(clazz);
}
