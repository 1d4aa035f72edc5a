// What each of the library's C++ getters reads for a key, in the text form that
// BundleNativesTest gives what the matching native returned: the natives must agree
// with the getters whatever kinds the key held before.
#include <jni.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Handle.h"

using status::Bundle;

namespace {

std::string text(bool value) {
    return value ? "true" : "false";
}
std::string text(double value) {
    uint64_t word;
    memcpy(&word, &value, sizeof word);
    char digits[17];
    snprintf(digits, sizeof digits, "%llx", static_cast<unsigned long long>(word));
    return digits;
}
std::string text(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
        snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out;
}
// A bundle by its entry count; none for no content.
std::string text(const Bundle& value) {
    return value.mTree == nullptr ? "-" : "bundle " + std::to_string(value.mTree->mCount);
}
template <class Integer>
std::string text(Integer value) {
    return std::to_string(value);
}

// An empty array reads as none, as the natives return null for it.
template <class T>
std::string list(const std::vector<T>& values) {
    if (values.empty()) return "-";
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) {
        out += (i ? "," : "") + text(static_cast<T>(values[i]));
    }
    return out;
}

template <class T>
std::string array(const Bundle& b, const char* key,
                  bool (Bundle::*getter)(const char*, std::vector<T>&) const) {
    std::vector<T> values;
    (b.*getter)(key, values);
    return list(values);
}

}  // namespace

extern "C" {

// The thirteen getters in the order of the kinds.
JNIEXPORT jobjectArray JNICALL Java_com_quorvel_dovra_statusitem_TestNative_cppGetters(
    JNIEnv* env, jclass, jlong handle, jstring key) {
    const Bundle b(status::jni::treeOf(handle));
    const char* k = env->GetStringUTFChars(key, nullptr);
    std::vector<std::string> read = {
        text(b.getBool(k)),
        text(b.getInt32(k)),
        text(b.getInt64(k)),
        text(b.getDouble(k)),
        text(b.getString(k)),
        text(b.getBundle(k)),
        array(b, k, &Bundle::getBoolArray),
        array(b, k, &Bundle::getByteArray),
        array(b, k, &Bundle::getWordArray),
        array(b, k, &Bundle::getIntArray),
        array(b, k, &Bundle::getDoubleArray),
        array(b, k, &Bundle::getStringArray),
        list(b.getBundleArray(k).mBundles),
    };
    env->ReleaseStringUTFChars(key, k);
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray out = env->NewObjectArray(static_cast<jsize>(read.size()), stringClass, nullptr);
    env->DeleteLocalRef(stringClass);
    for (size_t i = 0; out != nullptr && i < read.size(); ++i) {
        jstring line = env->NewStringUTF(read[i].c_str());
        env->SetObjectArrayElement(out, static_cast<jsize>(i), line);
        env->DeleteLocalRef(line);
    }
    return out;
}

JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_entryCount(JNIEnv*, jclass,
                                                                               jlong handle) {
    return status::jni::treeOf(handle)->mCount;
}

}  // extern "C"
