#pragma once

#include <jni.h>
#include <tessik/BinderClient.h>

#include "statusitem/Item.h"

namespace status {

// The native end of the channel to the Java StatusItemClient: producers hand each
// item to get()->statusUpdate(), which calls the Java callback of its value type.
class STATUSITEM_EXPORT StatusItemBinder : public BinderClient {
public:
    StatusItemBinder();
    ~StatusItemBinder() override;

    // The first call must not race with another.
    static StatusItemBinder* get();
    static void jniInit(JNIEnv* env);

    // False, with nothing delivered, while the Java side is not set up or bound.
    bool statusUpdate(const Item& item);

    static StatusItemBinder* _object;
    static jclass _class;
    static jmethodID _statusUpdateBool;
    static jmethodID _statusUpdateLong;
    static jmethodID _statusUpdateDouble;
    static jmethodID _statusUpdateString;
    static jmethodID _statusUpdateBundle;
};

// Registers T's singleton with the support library under a name.
template <class T>
class StaticCreator : public BinderClient::Creator {
public:
    explicit StaticCreator(const char* name) : BinderClient::Creator(name) {}
    BinderClient* createBinder() override { return T::get(); }
};

}  // namespace status
