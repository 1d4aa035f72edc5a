#pragma once

#include <jni.h>

#include <utility>

namespace status {
namespace jni {

// Ends a set-up step by throwing the pending Java exception, caught where the set-up
// ends. ExceptionOccurred is asked even after ExceptionCheck said no, so that each step
// makes the same JNI calls, in the same order, as the platform's own set-up does.
inline void throwPending(JNIEnv* env) {
    if (env->ExceptionCheck()) throw env->ExceptionOccurred();
    jthrowable throwable = env->ExceptionOccurred();
    if (throwable != nullptr) throw throwable;
}

// A local reference deleted when the scope ends, unless handed on with release().
template <class T>
class ScopedLocalRef {
public:
    ScopedLocalRef(JNIEnv* env, T ref) : mEnv(env), mRef(ref) {}
    ~ScopedLocalRef() {
        if (mRef != nullptr) mEnv->DeleteLocalRef(mRef);
    }
    ScopedLocalRef(const ScopedLocalRef&) = delete;
    ScopedLocalRef& operator=(const ScopedLocalRef&) = delete;

    T get() const { return mRef; }
    T release() { return std::exchange(mRef, nullptr); }

private:
    JNIEnv* mEnv;
    T mRef;
};

// The modified UTF-8 characters of a Java string; null for a null string or when
// the VM cannot provide them.
class ScopedUtfChars {
public:
    ScopedUtfChars(JNIEnv* env, jstring string)
        : mEnv(env),
          mString(string),
          mChars(string == nullptr ? nullptr : env->GetStringUTFChars(string, nullptr)) {}
    ~ScopedUtfChars() {
        if (mChars != nullptr) mEnv->ReleaseStringUTFChars(mString, mChars);
    }
    ScopedUtfChars(const ScopedUtfChars&) = delete;
    ScopedUtfChars& operator=(const ScopedUtfChars&) = delete;

    const char* c_str() const { return mChars; }

private:
    JNIEnv* mEnv;
    jstring mString;
    const char* mChars;
};

// The Get/Release<Type>ArrayElements pair of each primitive array type.
template <class Array>
struct ArrayTraits;

#define STATUS_JNI_ARRAY_TRAITS(ArrayType, ElementType, Name)       \
    template <>                                                     \
    struct ArrayTraits<ArrayType> {                                 \
        using Element = ElementType;                                \
        static Element* get(JNIEnv* env, ArrayType a) {             \
            return env->Get##Name##ArrayElements(a, nullptr);       \
        }                                                           \
        static void release(JNIEnv* env, ArrayType a, Element* e) { \
            env->Release##Name##ArrayElements(a, e, 0);             \
        }                                                           \
    };

STATUS_JNI_ARRAY_TRAITS(jbooleanArray, jboolean, Boolean)
STATUS_JNI_ARRAY_TRAITS(jbyteArray, jbyte, Byte)
STATUS_JNI_ARRAY_TRAITS(jshortArray, jshort, Short)
STATUS_JNI_ARRAY_TRAITS(jintArray, jint, Int)
STATUS_JNI_ARRAY_TRAITS(jlongArray, jlong, Long)
STATUS_JNI_ARRAY_TRAITS(jdoubleArray, jdouble, Double)

#undef STATUS_JNI_ARRAY_TRAITS

// The elements of a primitive array, copied back and freed (mode 0) when the scope
// ends. get() is null when the VM cannot provide them.
template <class Array>
class ScopedArrayElements {
public:
    using Element = typename ArrayTraits<Array>::Element;

    ScopedArrayElements(JNIEnv* env, Array array)
        : mEnv(env), mArray(array), mElements(ArrayTraits<Array>::get(env, array)) {}
    ~ScopedArrayElements() {
        if (mElements != nullptr) ArrayTraits<Array>::release(mEnv, mArray, mElements);
    }
    ScopedArrayElements(const ScopedArrayElements&) = delete;
    ScopedArrayElements& operator=(const ScopedArrayElements&) = delete;

    Element* get() const { return mElements; }

private:
    JNIEnv* mEnv;
    Array mArray;
    Element* mElements;
};

}  // namespace jni
}  // namespace status
