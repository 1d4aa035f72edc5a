#pragma once

#include <jni.h>

#include <string>

// Native end of a binder client. The library binds the Java client object to it
// (tessik.BinderClients.bind) and clears it again (unbind); subclasses call Java
// methods on mClientObject from any thread.
class BinderClient {
public:
    BinderClient();
    virtual ~BinderClient();

    virtual void onRelease();
    virtual void onConnected() {}
    virtual void onDisconnected() {}

    // A global reference, or null while no Java client is bound.
    jobject mClientObject;

    // A named factory of native clients. It becomes known to the library, and thus
    // bindable by its name, once initialize() has been called.
    class Creator {
    public:
        explicit Creator(const char* name);
        virtual ~Creator() { forget(); }
        Creator(const Creator&) = delete;
        Creator& operator=(const Creator&) = delete;

        virtual BinderClient* createBinder() = 0;
        void initialize();

        std::string mName;

    private:
        void forget();
    };

    // The initialised creator registered under `name`, or null.
    static Creator* findCreator(const char* name);
};
