#include "statusitem/StatusItemBinder.h"

#include <android/log.h>
#include <gtest/gtest.h>
#include <string.h>
#include <tessik/BinderClient.h>
#include <tessik/JniHelpers.h>

#include "support/LogCapture.h"

using status::Item;
using status::StatusItemBinder;
using namespace testing_support;

extern "C" jint JNI_OnLoad(JavaVM* vm, void* reserved);

namespace {

// A VM that gives no thread an environment.
jint refuseEnv(JavaVM*, void** env, jint) {
    *env = nullptr;
    return JNI_EVERSION;
}

JNIInvokeInterface_ refusingFunctions = {};
JavaVM_ refusingVm = {};

}  // namespace

// Before a load the binder client exists but is not set up; a load that gets no
// environment stores the VM all the same and sets nothing up.
TEST(StatusItemBinderTest, WithoutAnEnvironmentNothingIsDeliveredOrRegistered) {
    EXPECT_EQ(nullptr, getJVM());
    EXPECT_EQ(nullptr, getJniEnv(nullptr));
    StatusItemBinder* binder = StatusItemBinder::get();
    EXPECT_EQ(binder, StatusItemBinder::get());
    EXPECT_EQ(nullptr, binder->mClientObject);

    LogCapture log;
    refusingFunctions.GetEnv = refuseEnv;
    refusingVm.functions = &refusingFunctions;
    EXPECT_EQ(JNI_VERSION_1_6, JNI_OnLoad(&refusingVm, nullptr));
    EXPECT_EQ(&refusingVm, getJVM());
    EXPECT_EQ(nullptr, BinderClient::findCreator("com.quorvel.dovra.statusitem.StatusItemClient"));

    Item item;
    item.setLong("k", 1);
    EXPECT_FALSE(binder->statusUpdate(item));
    EXPECT_EQ((std::vector<LogLine>{
                  {ANDROID_LOG_ERROR, "StatusItemNative", "Unable to retrieve JNI environment"}}),
              log.lines());

    status::Bundle content;
    content.set("k", 1);
    EXPECT_EQ(nullptr, content.getJBundle(nullptr));  // the Java class is not bound
    EXPECT_EQ(1, content.mTree->mRefs.load());
}

namespace {

// An environment whose client class lacks the double callback.
bool pending = false;
JNINativeInterface_ partialClass = {};

void makePartialClass() {
    partialClass.FindClass = [](JNIEnv*, const char*) { return reinterpret_cast<jclass>(1); };
    partialClass.NewGlobalRef = [](JNIEnv*, jobject o) { return o; };
    partialClass.DeleteGlobalRef = [](JNIEnv*, jobject) {};
    partialClass.GetMethodID = [](JNIEnv*, jclass, const char* name, const char*) {
        pending = strcmp(name, "statusUpdateDoubleFromNative") == 0;
        return pending ? nullptr : reinterpret_cast<jmethodID>(1);
    };
    partialClass.ExceptionCheck = [](JNIEnv*) -> jboolean { return pending; };
    partialClass.ExceptionOccurred = [](JNIEnv*) { return jthrowable(nullptr); };
    partialClass.ExceptionClear = [](JNIEnv*) { pending = false; };
}

}  // namespace

// Nothing of a set-up that failed part way stays for statusUpdate to trust.
TEST(StatusItemBinderTest, AFailedSetUpLeavesNoClassAndNoCreator) {
    LogCapture log;
    makePartialClass();
    JNIEnv_ env{&partialClass};
    StatusItemBinder::jniInit(&env);
    EXPECT_EQ(nullptr, StatusItemBinder::_class);
    EXPECT_EQ(nullptr, BinderClient::findCreator("com.quorvel.dovra.statusitem.StatusItemClient"));
}

TEST(StatusItemBinderTest, CreatorsBecomeFindableOnceInitialisedUntilTheyGo) {
    const char* name = "test.Items";
    {
        status::StaticCreator<StatusItemBinder> items(name);
        EXPECT_EQ(nullptr, BinderClient::findCreator(name));
        items.initialize();
        EXPECT_EQ(&items, BinderClient::findCreator(name));
        EXPECT_EQ(StatusItemBinder::get(), items.createBinder());
    }
    EXPECT_EQ(nullptr, BinderClient::findCreator(name));
}
