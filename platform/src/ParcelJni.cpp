// Natives of the host stand-in of the Java class android.os.Parcel. Every native
// receives the native parcel's address; 0 makes it a no-op, as on the platform.
#include <binder/Parcel.h>
#include <jni.h>
#include <stdint.h>
#include <string.h>

#include <new>

namespace {

android::Parcel* parcelOf(jlong ptr) {
    return reinterpret_cast<android::Parcel*>(static_cast<uintptr_t>(ptr));
}

void throwNew(JNIEnv* env, const char* className, const char* message) {
    if (env->ExceptionCheck()) return;
    jclass clazz = env->FindClass(className);
    if (clazz != nullptr) env->ThrowNew(clazz, message);
}

void signalError(JNIEnv* env, android::status_t err) {
    if (err == android::NO_MEMORY) {
        throwNew(env, "java/lang/OutOfMemoryError", "Parcel out of memory");
    } else if (err != android::OK) {
        throwNew(env, "java/lang/RuntimeException", "Parcel write failed");
    }
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_android_os_Parcel_nativeCreate(JNIEnv* env, jclass) {
    android::Parcel* parcel = new (std::nothrow) android::Parcel();
    if (parcel == nullptr) throwNew(env, "java/lang/OutOfMemoryError", "Parcel out of memory");
    return static_cast<jlong>(reinterpret_cast<uintptr_t>(parcel));
}

JNIEXPORT void JNICALL Java_android_os_Parcel_nativeDestroy(JNIEnv*, jclass, jlong ptr) {
    delete parcelOf(ptr);
}

JNIEXPORT void JNICALL Java_android_os_Parcel_nativeFreeData(JNIEnv*, jclass, jlong ptr) {
    if (ptr != 0) parcelOf(ptr)->freeData();
}

JNIEXPORT jint JNICALL Java_android_os_Parcel_nativeDataSize(JNIEnv*, jclass, jlong ptr) {
    return ptr == 0 ? 0 : static_cast<jint>(parcelOf(ptr)->dataSize());
}

JNIEXPORT jint JNICALL Java_android_os_Parcel_nativeDataPosition(JNIEnv*, jclass, jlong ptr) {
    return ptr == 0 ? 0 : static_cast<jint>(parcelOf(ptr)->dataPosition());
}

// A negative position becomes huge and aborts the process, as on the platform.
JNIEXPORT void JNICALL Java_android_os_Parcel_nativeSetDataPosition(JNIEnv*, jclass, jlong ptr,
                                                                    jint pos) {
    if (ptr != 0) parcelOf(ptr)->setDataPosition(static_cast<size_t>(pos));
}

JNIEXPORT void JNICALL Java_android_os_Parcel_nativeWriteInt(JNIEnv* env, jclass, jlong ptr,
                                                             jint value) {
    if (ptr != 0) signalError(env, parcelOf(ptr)->writeInt32(value));
}

JNIEXPORT jint JNICALL Java_android_os_Parcel_nativeReadInt(JNIEnv*, jclass, jlong ptr) {
    return ptr == 0 ? 0 : parcelOf(ptr)->readInt32();
}

JNIEXPORT jbyteArray JNICALL Java_android_os_Parcel_nativeMarshall(JNIEnv* env, jclass, jlong ptr) {
    if (ptr == 0) return nullptr;
    const android::Parcel* parcel = parcelOf(ptr);
    const jsize size = static_cast<jsize>(parcel->dataSize());
    jbyteArray array = env->NewByteArray(size);
    if (array != nullptr && size > 0) {
        env->SetByteArrayRegion(array, 0, size, reinterpret_cast<const jbyte*>(parcel->data()));
    }
    return array;
}

// Leaves the position after the data, as the platform does: callers rewind first.
JNIEXPORT void JNICALL Java_android_os_Parcel_nativeUnmarshall(JNIEnv* env, jclass, jlong ptr,
                                                               jbyteArray data, jint offset,
                                                               jint length) {
    if (ptr == 0 || length < 0) return;
    if (data == nullptr || offset < 0 || offset > env->GetArrayLength(data) - length) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException", "unmarshall out of bounds");
        return;
    }
    android::Parcel* parcel = parcelOf(ptr);
    parcel->setDataSize(static_cast<size_t>(length));
    parcel->setDataPosition(0);
    if (length == 0) return;
    void* raw = parcel->writeInplace(static_cast<size_t>(length));
    if (raw == nullptr) {
        throwNew(env, "java/lang/OutOfMemoryError", "Parcel out of memory");
        return;
    }
    env->GetByteArrayRegion(data, offset, length, static_cast<jbyte*>(raw));
}

}  // extern "C"
