#pragma once

#include <jni.h>

#include <utility>

namespace status {
namespace jni {

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

#define STATUS_JNI_ARRAY_TRAITS(ArrayType, ElementType, Name)                  \
    template <>                                                                \
    struct ArrayTraits<ArrayType> {                                            \
        using Element = ElementType;                                           \
        static Element* get(JNIEnv* env, ArrayType a) {                        \
            return env->Get##Name##ArrayElements(a, nullptr);                  \
        }                                                                      \
        static void release(JNIEnv* env, ArrayType a, Element* e, jint mode) { \
            env->Release##Name##ArrayElements(a, e, mode);                     \
        }                                                                      \
    };

STATUS_JNI_ARRAY_TRAITS(jbooleanArray, jboolean, Boolean)
STATUS_JNI_ARRAY_TRAITS(jbyteArray, jbyte, Byte)
STATUS_JNI_ARRAY_TRAITS(jshortArray, jshort, Short)
STATUS_JNI_ARRAY_TRAITS(jintArray, jint, Int)
STATUS_JNI_ARRAY_TRAITS(jlongArray, jlong, Long)
STATUS_JNI_ARRAY_TRAITS(jdoubleArray, jdouble, Double)

#undef STATUS_JNI_ARRAY_TRAITS

// The elements of a primitive array, given back when the scope ends: copied back and
// freed (mode 0), or only freed (JNI_ABORT) when they were only read. get() is null
// when the VM cannot provide them.
template <class Array>
class ScopedArrayElements {
public:
    using Element = typename ArrayTraits<Array>::Element;

    ScopedArrayElements(JNIEnv* env, Array array, jint releaseMode = 0)
        : mEnv(env),
          mArray(array),
          mMode(releaseMode),
          mElements(ArrayTraits<Array>::get(env, array)) {}
    ~ScopedArrayElements() {
        if (mElements != nullptr) ArrayTraits<Array>::release(mEnv, mArray, mElements, mMode);
    }
    ScopedArrayElements(const ScopedArrayElements&) = delete;
    ScopedArrayElements& operator=(const ScopedArrayElements&) = delete;

    Element* get() const { return mElements; }

private:
    JNIEnv* mEnv;
    Array mArray;
    jint mMode;
    Element* mElements;
};

}  // namespace jni
}  // namespace status
