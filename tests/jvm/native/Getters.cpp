// What each of the library's C++ getters reads for a key, stored afresh in a bundle of
// its own: read back through the natives, it is what they must read for the key itself,
// whatever kinds the key held before.
#include <jni.h>

#include <memory>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Handle.h"

using status::Bundle;

extern "C" {

// A handle of a new bundle that holds under "0" to "12" what the thirteen getters read,
// in the order of the kinds.
JNIEXPORT jlong JNICALL Java_com_quorvel_dovra_statusitem_TestNative_cppGetters(JNIEnv* env, jclass,
                                                                                jlong handle,
                                                                                jstring key) {
    const Bundle b(status::jni::treeOf(handle));
    const char* k = env->GetStringUTFChars(key, nullptr);
    std::vector<bool> bools;
    std::vector<unsigned char> bytes;
    std::vector<unsigned short> words;
    std::vector<int> ints;
    std::vector<double> doubles;
    std::vector<std::string> strings;
    b.getBoolArray(k, bools);
    b.getByteArray(k, bytes);
    b.getWordArray(k, words);
    b.getIntArray(k, ints);
    b.getDoubleArray(k, doubles);
    b.getStringArray(k, strings);
    const std::unique_ptr<bool[]> flags(new bool[bools.size() + 1]);
    for (size_t i = 0; i < bools.size(); ++i) flags[i] = bools[i];
    Bundle out;
    out.set("0", b.getBool(k));
    out.set("1", b.getInt32(k));
    out.set("2", b.getInt64(k));
    out.set("3", b.getDouble(k));
    out.set("4", b.getString(k).c_str());
    out.set("5", b.getBundle(k));
    out.setArray("6", static_cast<unsigned>(bools.size()), flags.get());
    out.setArray("7", static_cast<unsigned>(bytes.size()), bytes.data());
    out.setArray("8", static_cast<unsigned>(words.size()), words.data());
    out.setArray("9", static_cast<unsigned>(ints.size()), ints.data());
    out.setArray("10", static_cast<unsigned>(doubles.size()), doubles.data());
    out.setArray("11", strings);
    out.setArray("12", b.getBundleArray(k));
    env->ReleaseStringUTFChars(key, k);
    return status::jni::newHandle(out.mTree);
}

JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_entryCount(JNIEnv*, jclass,
                                                                               jlong handle) {
    return status::jni::treeOf(handle)->mCount;
}

}  // extern "C"
