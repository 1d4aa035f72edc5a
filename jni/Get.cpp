#include <tessik/JniHelpers.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Frames.h"

namespace status {

using jni::getFrame;
using jni::newHandle;
using jni::ScopedArrayElements;
using jni::ScopedLocalRef;

namespace {

template <class Array>
struct NewArray;

#define STATUS_NEW_ARRAY(ArrayType, Element, Name)                                        \
    template <>                                                                           \
    struct NewArray<ArrayType> {                                                          \
        template <class T>                                                                \
        static ArrayType make(JNIEnv* env, const std::vector<T>& values) {                \
            const jsize n = static_cast<jsize>(values.size());                            \
            ArrayType array = env->New##Name##Array(n);                                   \
            if (array == nullptr) return nullptr;                                         \
            env->Set##Name##ArrayRegion(array, 0, n,                                      \
                                        reinterpret_cast<const Element*>(values.data())); \
            return array;                                                                 \
        }                                                                                 \
    };

STATUS_NEW_ARRAY(jbyteArray, jbyte, Byte)
STATUS_NEW_ARRAY(jshortArray, jshort, Short)
STATUS_NEW_ARRAY(jintArray, jint, Int)
STATUS_NEW_ARRAY(jdoubleArray, jdouble, Double)

#undef STATUS_NEW_ARRAY

// An empty vector (empty stored array or missing key) gives null, never an empty
// Java array. Byte and short elements keep their bits.
template <class Array, class T, class Getter>
Array getElements(JNIEnv* env, jlong handle, jstring key, Getter getter) {
    return getFrame<std::vector<T>>(
        env, handle, key, Array(nullptr),
        [getter](const Bundle& bundle, const char* k, std::vector<T>& out) {
            (bundle.*getter)(k, out);
        },
        [](JNIEnv* e, const std::vector<T>& values) -> Array {
            return values.empty() ? nullptr : NewArray<Array>::make(e, values);
        });
}

template <class Value, class Result, class Getter>
Result getScalar(JNIEnv* env, jlong handle, jstring key, Getter getter) {
    return getFrame<Value>(
        env, handle, key, Result(0),
        [getter](const Bundle& bundle, const char* k, Value& out) { out = (bundle.*getter)(k); },
        [](JNIEnv*, Value value) { return static_cast<Result>(value); });
}

}  // namespace

jboolean Bundle::nativeGetBoolean(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getScalar<bool, jboolean>(env, handle, key, &Bundle::getBool);
}

jint Bundle::nativeGetInt(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getScalar<int, jint>(env, handle, key, &Bundle::getInt32);
}

jlong Bundle::nativeGetLong(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getScalar<long long, jlong>(env, handle, key, &Bundle::getInt64);
}

jdouble Bundle::nativeGetDouble(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getScalar<double, jdouble>(env, handle, key, &Bundle::getDouble);
}

// A missing key gives the empty byte array, not null. The bytes go to Java straight
// from the node, which the frame's reference keeps alive.
jbyteArray Bundle::nativeGetString(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getFrame<const std::string*>(
        env, handle, key, jbyteArray(nullptr),
        [](const Bundle& bundle, const char* k, const std::string*& out) {
            const HashNode* node =
                bundle.mTree == nullptr ? nullptr : bundle.mTree->getNode(k, false);
            if (node != nullptr) out = &node->mString;
        },
        [](JNIEnv* e, const std::string* value) {
            return value == nullptr ? createStringByteArray(e, "", 0)
                                    : createStringByteArray(e, value->data(), value->size());
        });
}

jlong Bundle::nativeGetBundle(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getFrame<Bundle>(
        env, handle, key, jlong(0),
        [](const Bundle& bundle, const char* k, Bundle& out) { out = bundle.getBundle(k); },
        [](JNIEnv*, const Bundle& value) -> jlong {
            return value.mTree == nullptr ? 0 : newHandle(value.mTree);
        });
}

jbooleanArray Bundle::nativeGetBooleanArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getFrame<std::vector<bool>>(
        env, handle, key, jbooleanArray(nullptr),
        [](const Bundle& bundle, const char* k, std::vector<bool>& out) {
            bundle.getBoolArray(k, out);
        },
        [](JNIEnv* e, const std::vector<bool>& values) -> jbooleanArray {
            if (values.empty()) return nullptr;
            const jsize n = static_cast<jsize>(values.size());
            ScopedLocalRef<jbooleanArray> array(e, e->NewBooleanArray(n));
            if (array.get() == nullptr) return nullptr;
            {
                ScopedArrayElements<jbooleanArray> elements(e, array.get());
                if (elements.get() == nullptr) return nullptr;
                for (jsize i = 0; i < n; ++i) elements.get()[i] = values[i] ? JNI_TRUE : JNI_FALSE;
            }
            return array.release();
        });
}

jbyteArray Bundle::nativeGetByteArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getElements<jbyteArray, unsigned char>(env, handle, key, &Bundle::getByteArray);
}

jshortArray Bundle::nativeGetShortArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getElements<jshortArray, unsigned short>(env, handle, key, &Bundle::getWordArray);
}

jintArray Bundle::nativeGetIntArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getElements<jintArray, int>(env, handle, key, &Bundle::getIntArray);
}

jdoubleArray Bundle::nativeGetDoubleArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getElements<jdoubleArray, double>(env, handle, key, &Bundle::getDoubleArray);
}

// Each element's reference goes once it is stored in the array, so string arrays of
// any length fit in the native frame's local reference table.
jobjectArray Bundle::nativeGetStringArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getFrame<std::vector<std::string>>(
        env, handle, key, jobjectArray(nullptr),
        [](const Bundle& bundle, const char* k, std::vector<std::string>& out) {
            bundle.getStringArray(k, out);
        },
        [](JNIEnv* e, const std::vector<std::string>& values) -> jobjectArray {
            if (values.empty()) return nullptr;
            const jsize n = static_cast<jsize>(values.size());
            ScopedLocalRef<jclass> byteArrayClass(e, e->FindClass("[B"));
            if (byteArrayClass.get() == nullptr) return nullptr;
            ScopedLocalRef<jobjectArray> array(e,
                                               e->NewObjectArray(n, byteArrayClass.get(), nullptr));
            if (array.get() == nullptr) return nullptr;
            for (jsize i = 0; i < n; ++i) {
                const std::string& value = values[static_cast<size_t>(i)];
                ScopedLocalRef<jbyteArray> element(
                    e, createStringByteArray(e, value.data(), value.size()));
                if (element.get() == nullptr) return nullptr;
                e->SetObjectArrayElement(array.get(), i, element.get());
            }
            return array.release();
        });
}

jlongArray Bundle::nativeGetBundleArray(JNIEnv* env, jclass, jlong handle, jstring key) {
    return getFrame<BundleArray>(
        env, handle, key, jlongArray(nullptr),
        [](const Bundle& bundle, const char* k, BundleArray& out) {
            out.mBundles = bundle.getBundleArray(k).mBundles;
        },
        [](JNIEnv* e, const BundleArray& list) -> jlongArray {
            if (list.mBundles.empty()) return nullptr;
            const jsize n = static_cast<jsize>(list.mBundles.size());
            jlongArray array = e->NewLongArray(n);
            if (array == nullptr) return nullptr;
            ScopedArrayElements<jlongArray> elements(e, array);
            if (elements.get() == nullptr) {
                e->DeleteLocalRef(array);
                return nullptr;
            }
            for (jsize i = 0; i < n; ++i) {
                Bundle::HashTree* tree = list.mBundles[static_cast<size_t>(i)].mTree;
                elements.get()[i] = tree == nullptr ? 0 : newHandle(tree);
            }
            return array;
        });
}

}  // namespace status
