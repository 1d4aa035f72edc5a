#include <memory>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Frames.h"

namespace status {

using jni::putFrame;
using jni::ScopedArrayElements;
using jni::ScopedLocalRef;
using jni::ScopedUtfChars;
using jni::treeOf;

namespace {

template <class Value>
void putScalar(JNIEnv* env, jlong handle, jstring key, Value value) {
    putFrame(env, handle, key, [value](Bundle& bundle, const char* k) { bundle.set(k, value); });
}

// Byte and short elements keep their bits: the bundle stores them unsigned.
template <class Native, class Array>
void putElements(JNIEnv* env, jlong handle, jstring key, Array array) {
    if (array == nullptr) return;
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        const jsize n = env->GetArrayLength(array);
        if (n < 1) return;
        ScopedArrayElements<Array> elements(env, array, JNI_ABORT);
        if (elements.get() == nullptr) return;
        bundle.setArray(k, static_cast<unsigned int>(n),
                        reinterpret_cast<const Native*>(elements.get()));
    });
}

}  // namespace

void Bundle::nativePutBoolean(JNIEnv* env, jclass, jlong handle, jstring key, jboolean value) {
    putScalar(env, handle, key, value != JNI_FALSE);
}

void Bundle::nativePutInt(JNIEnv* env, jclass, jlong handle, jstring key, jint value) {
    putScalar(env, handle, key, static_cast<int>(value));
}

void Bundle::nativePutLong(JNIEnv* env, jclass, jlong handle, jstring key, jlong value) {
    putScalar(env, handle, key, static_cast<long long>(value));
}

void Bundle::nativePutDouble(JNIEnv* env, jclass, jlong handle, jstring key, jdouble value) {
    putScalar(env, handle, key, static_cast<double>(value));
}

void Bundle::nativePutString(JNIEnv* env, jclass, jlong handle, jstring key, jstring value) {
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        ScopedUtfChars chars(env, value);
        if (chars.c_str() != nullptr) bundle.set(k, chars.c_str());
    });
}

void Bundle::nativePutBundle(JNIEnv* env, jclass, jlong handle, jstring key, jlong valueHandle) {
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        const Bundle value(treeOf(valueHandle));
        bundle.set(k, value);
    });
}

void Bundle::nativePutBooleanArray(JNIEnv* env, jclass, jlong handle, jstring key,
                                   jbooleanArray array) {
    if (array == nullptr) return;
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        const jsize n = env->GetArrayLength(array);
        if (n < 1) return;
        std::unique_ptr<bool[]> values(new bool[n]);
        ScopedArrayElements<jbooleanArray> elements(env, array, JNI_ABORT);
        if (elements.get() == nullptr) return;
        for (jsize i = 0; i < n; ++i) values[i] = elements.get()[i] != JNI_FALSE;
        bundle.setArray(k, static_cast<unsigned int>(n), values.get());
    });
}

void Bundle::nativePutByteArray(JNIEnv* env, jclass, jlong handle, jstring key, jbyteArray array) {
    putElements<unsigned char>(env, handle, key, array);
}

void Bundle::nativePutShortArray(JNIEnv* env, jclass, jlong handle, jstring key,
                                 jshortArray array) {
    putElements<unsigned short>(env, handle, key, array);
}

void Bundle::nativePutIntArray(JNIEnv* env, jclass, jlong handle, jstring key, jintArray array) {
    putElements<int>(env, handle, key, array);
}

void Bundle::nativePutDoubleArray(JNIEnv* env, jclass, jlong handle, jstring key,
                                  jdoubleArray array) {
    putElements<double>(env, handle, key, array);
}

// Each element's local reference goes as soon as it is read, so arrays of any
// length fit in the native frame's local reference table.
void Bundle::nativePutStringArray(JNIEnv* env, jclass, jlong handle, jstring key,
                                  jobjectArray array) {
    if (array == nullptr) return;
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        std::vector<std::string> values;
        const jsize n = env->GetArrayLength(array);
        for (jsize i = 0; i < n; ++i) {
            ScopedLocalRef<jstring> element(
                env, static_cast<jstring>(env->GetObjectArrayElement(array, i)));
            if (element.get() == nullptr) continue;
            ScopedUtfChars chars(env, element.get());
            if (chars.c_str() == nullptr) {
                if (env->ExceptionCheck()) return;  // out of memory: no more JNI calls
                continue;
            }
            values.emplace_back(chars.c_str());
        }
        bundle.setArray(k, values);
    });
}

void Bundle::nativePutBundleArray(JNIEnv* env, jclass, jlong handle, jstring key,
                                  jobjectArray array) {
    if (array == nullptr) return;
    putFrame(env, handle, key, [&](Bundle& bundle, const char* k) {
        BundleArray values;
        const jsize n = env->GetArrayLength(array);
        for (jsize i = 0; i < n; ++i) {
            ScopedLocalRef<jobject> element(env, env->GetObjectArrayElement(array, i));
            if (element.get() == nullptr) continue;
            values.mBundles.push_back(
                Bundle(treeOf(env->GetLongField(element.get(), _mNativePtr))));
        }
        bundle.setArray(k, values);
    });
}

}  // namespace status
