// A VM that refuses what the natives ask of it (arrays, elements, characters): every
// native gives up without a crash or a leak, leaving the tree as it was and returning
// null, whatever pass of the refusal it meets.

#include <gtest/gtest.h>
#include <jni.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "jni/Handle.h"

using status::Bundle;

namespace {

int gSentinel[4];
const auto kKey = reinterpret_cast<jstring>(&gSentinel[0]);
const auto kObject = reinterpret_cast<jobject>(&gSentinel[1]);
bool gArraysMade = false;  // the second pass: arrays are made, their elements refused
bool gPending = false;

template <class R, class... A>
R refuse(JNIEnv*, A...) {
    return R();
}

JNINativeInterface_ makeFunctions() {
    JNINativeInterface_ f = {};
    f.GetStringUTFChars = [](JNIEnv*, jstring s, jboolean*) -> const char* {
        return s == kKey ? "k" : nullptr;
    };
    f.ReleaseStringUTFChars = [](JNIEnv*, jstring, const char*) {};
    f.GetArrayLength = [](JNIEnv*, jarray) -> jsize { return gArraysMade ? 2 : 0; };
    f.GetObjectArrayElement = [](JNIEnv*, jobjectArray, jsize i) -> jobject {
        return i == 0 ? nullptr : kObject;  // a missing element, then one without characters
    };
    f.ExceptionCheck = [](JNIEnv*) -> jboolean { return gPending; };
    f.DeleteLocalRef = [](JNIEnv*, jobject) {};
    f.FindClass = [](JNIEnv*, const char*) { return gArraysMade ? jclass(kObject) : nullptr; };
    f.NewObjectArray = [](JNIEnv*, jsize, jclass, jobject) {
        return gArraysMade ? jobjectArray(kObject) : nullptr;
    };
    f.NewByteArray = refuse<jbyteArray, jsize>;
    f.NewShortArray = refuse<jshortArray, jsize>;
    f.NewIntArray = refuse<jintArray, jsize>;
    f.NewDoubleArray = refuse<jdoubleArray, jsize>;
    f.NewBooleanArray = [](JNIEnv*, jsize) {
        return gArraysMade ? jbooleanArray(kObject) : nullptr;
    };
    f.NewLongArray = [](JNIEnv*, jsize) { return gArraysMade ? jlongArray(kObject) : nullptr; };
    f.GetLongField = refuse<jlong, jobject, jfieldID>;
    f.GetBooleanArrayElements = refuse<jboolean*, jbooleanArray, jboolean*>;
    f.GetByteArrayElements = refuse<jbyte*, jbyteArray, jboolean*>;
    f.GetShortArrayElements = refuse<jshort*, jshortArray, jboolean*>;
    f.GetIntArrayElements = refuse<jint*, jintArray, jboolean*>;
    f.GetDoubleArrayElements = refuse<jdouble*, jdoubleArray, jboolean*>;
    f.GetLongArrayElements = refuse<jlong*, jlongArray, jboolean*>;
    return f;
}

}  // namespace

TEST(RefusingVmTest, NativesGiveUpAndLeaveTheTreeAlone) {
    JNINativeInterface_ functions = makeFunctions();
    JNIEnv_ env{&functions};
    for (int pass = 0; pass < 3; ++pass) {
        gArraysMade = pass > 0;
        gPending = pass == 2;
        Bundle b;
        const bool bools[] = {true};
        const double doubles[] = {1.5};
        const int ints[] = {1};
        const unsigned char bytes[] = {1};
        const unsigned short words[] = {1};
        b.setArray("k", 1, bools);
        const jlong h = status::jni::handleOf(b.mTree);
        auto* array = reinterpret_cast<jobjectArray>(kObject);
        Bundle::nativePutString(&env, nullptr, h, kKey, jstring(kObject));
        Bundle::nativePutBooleanArray(&env, nullptr, h, kKey, jbooleanArray(array));
        Bundle::nativePutByteArray(&env, nullptr, h, kKey, jbyteArray(array));
        Bundle::nativePutShortArray(&env, nullptr, h, kKey, jshortArray(array));
        Bundle::nativePutIntArray(&env, nullptr, h, kKey, jintArray(array));
        Bundle::nativePutDoubleArray(&env, nullptr, h, kKey, jdoubleArray(array));
        EXPECT_EQ(b.mTree->getNode("k", false)->mType, Bundle::TYPE_BOOL_ARRAY) << pass;
        EXPECT_EQ(Bundle::nativeGetBooleanArray(&env, nullptr, h, kKey), nullptr) << pass;
        b.set("k", "text");
        EXPECT_EQ(Bundle::nativeGetString(&env, nullptr, h, kKey), nullptr) << pass;
        Bundle::nativePutStringArray(&env, nullptr, h, kKey, array);
        EXPECT_EQ(b.mTree->getNode("k", false)->mType,
                  pass == 2 ? Bundle::TYPE_STRING : Bundle::TYPE_STRING_ARRAY);
        b.setArray("k", std::vector<std::string>{"a"});
        EXPECT_EQ(Bundle::nativeGetStringArray(&env, nullptr, h, kKey), nullptr) << pass;
        b.setArray("k", 1, bytes);
        EXPECT_EQ(Bundle::nativeGetByteArray(&env, nullptr, h, kKey), nullptr) << pass;
        b.setArray("k", 1, words);
        EXPECT_EQ(Bundle::nativeGetShortArray(&env, nullptr, h, kKey), nullptr) << pass;
        b.setArray("k", 1, ints);
        EXPECT_EQ(Bundle::nativeGetIntArray(&env, nullptr, h, kKey), nullptr) << pass;
        b.setArray("k", 1, doubles);
        EXPECT_EQ(Bundle::nativeGetDoubleArray(&env, nullptr, h, kKey), nullptr) << pass;
        status::BundleArray bundles;
        bundles.mBundles.push_back(Bundle());
        bundles.mBundles.back().set("x", 1);
        b.setArray("k", bundles);
        EXPECT_EQ(Bundle::nativeGetBundleArray(&env, nullptr, h, kKey), nullptr) << pass;
        Bundle::nativePutBundleArray(&env, nullptr, h, kKey, array);
        EXPECT_EQ(b.getBundleArray("k").numBundles(), pass == 0 ? 0 : 1) << pass;
        EXPECT_EQ(b.mTree->mRefs.load(), 1) << pass;
    }
}
