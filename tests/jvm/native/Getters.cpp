// What each of the library's C++ getters reads for a key, stored afresh in a bundle of
// its own: read back through the natives, it is what they must read for the key itself,
// whatever kinds the key held before.
#include <jni.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Handle.h"

using status::Bundle;

namespace {

template <class T>
void store(Bundle& to, const char* key, const std::vector<T>& values) {
    to.setArray(key, static_cast<unsigned>(values.size()), values.data());
}
void store(Bundle& to, const char* key, const std::vector<bool>& values) {
    const std::unique_ptr<bool[]> flags(new bool[values.size() + 1]);
    std::copy(values.begin(), values.end(), flags.get());
    to.setArray(key, static_cast<unsigned>(values.size()), flags.get());
}
void store(Bundle& to, const char* key, const std::vector<std::string>& values) {
    to.setArray(key, values);
}

// The array the getter reads for `key` in `from`, stored under `at` in `to`.
template <class T>
void copyArray(const Bundle& from, const char* key,
               bool (Bundle::*getter)(const char*, std::vector<T>&) const, Bundle& to,
               const char* at) {
    std::vector<T> values;
    (from.*getter)(key, values);
    store(to, at, values);
}

}  // namespace

extern "C" {

// A handle of a new bundle that holds under "0" to "12" what the thirteen getters read,
// in the order of the kinds.
JNIEXPORT jlong JNICALL Java_com_quorvel_dovra_statusitem_TestNative_cppGetters(JNIEnv* env, jclass,
                                                                                jlong handle,
                                                                                jstring key) {
    const Bundle b(status::jni::treeOf(handle));
    const char* k = env->GetStringUTFChars(key, nullptr);
    Bundle out;
    out.set("0", b.getBool(k));
    out.set("1", b.getInt32(k));
    out.set("2", b.getInt64(k));
    out.set("3", b.getDouble(k));
    out.set("4", b.getString(k).c_str());
    out.set("5", b.getBundle(k));
    copyArray(b, k, &Bundle::getBoolArray, out, "6");
    copyArray(b, k, &Bundle::getByteArray, out, "7");
    copyArray(b, k, &Bundle::getWordArray, out, "8");
    copyArray(b, k, &Bundle::getIntArray, out, "9");
    copyArray(b, k, &Bundle::getDoubleArray, out, "10");
    copyArray(b, k, &Bundle::getStringArray, out, "11");
    out.setArray("12", b.getBundleArray(k));
    env->ReleaseStringUTFChars(key, k);
    return status::jni::newHandle(out.mTree);
}

JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_entryCount(JNIEnv*, jclass,
                                                                               jlong handle) {
    return status::jni::treeOf(handle)->mCount;
}

}  // extern "C"
