#include "statusitem/StatusItemBinder.h"

#include <android/log.h>
#include <gtest/gtest.h>
#include <tessik/BinderClient.h>
#include <tessik/JniHelpers.h>

#include "support/LogCapture.h"

using status::Item;
using status::StatusItemBinder;
using testing_support::LogCapture;
using testing_support::LogLine;

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
}

namespace {

struct Client : BinderClient {};

struct CountingCreator : BinderClient::Creator {
    using BinderClient::Creator::Creator;
    BinderClient* createBinder() override { return &client; }
    Client client;
};

}  // namespace

TEST(StatusItemBinderTest, CreatorsBecomeFindableOnceInitialisedUntilTheyGo) {
    const char* name = "test.Registry";
    {
        CountingCreator creator(name);
        EXPECT_EQ(nullptr, BinderClient::findCreator(name));
        creator.initialize();
        EXPECT_EQ(&creator, BinderClient::findCreator(name));
        status::StaticCreator<StatusItemBinder> items("test.Items");
        EXPECT_EQ(StatusItemBinder::get(), items.createBinder());
    }
    EXPECT_EQ(nullptr, BinderClient::findCreator(name));
}
