// Natives of tessik.BinderClients: bind a Java client object to the native client
// that the initialised creator of a name makes, and unbind it again.
#include <jni.h>
#include <tessik/BinderClient.h>

#include <string>

namespace {

// The native client behind an initialised creator, or null.
BinderClient* clientNamed(JNIEnv* env, jstring name) {
    if (name == nullptr) return nullptr;
    const char* chars = env->GetStringUTFChars(name, nullptr);
    if (chars == nullptr) return nullptr;
    BinderClient::Creator* creator = nullptr;
    try {
        creator = BinderClient::findCreator(chars);
    } catch (...) {
    }
    env->ReleaseStringUTFChars(name, chars);
    if (creator == nullptr) return nullptr;
    try {
        return creator->createBinder();
    } catch (...) {
        jclass oom = env->FindClass("java/lang/OutOfMemoryError");
        if (oom != nullptr) env->ThrowNew(oom, "binder client");
        return nullptr;
    }
}

void clearClient(JNIEnv* env, BinderClient* client) {
    if (client->mClientObject == nullptr) return;
    jobject old = client->mClientObject;
    client->mClientObject = nullptr;
    env->DeleteGlobalRef(old);
    client->onDisconnected();
}

}  // namespace

extern "C" {

// Producers must not deliver while a client is being bound or unbound.
JNIEXPORT jboolean JNICALL Java_tessik_BinderClients_bind(JNIEnv* env, jclass, jstring name,
                                                          jobject clientObject) {
    if (clientObject == nullptr) return JNI_FALSE;
    BinderClient* client = clientNamed(env, name);
    if (client == nullptr) return JNI_FALSE;
    jobject ref = env->NewGlobalRef(clientObject);
    if (ref == nullptr) return JNI_FALSE;
    clearClient(env, client);
    client->mClientObject = ref;
    client->onConnected();
    return JNI_TRUE;
}

JNIEXPORT void JNICALL Java_tessik_BinderClients_unbind(JNIEnv* env, jclass, jstring name) {
    BinderClient* client = clientNamed(env, name);
    if (client != nullptr) clearClient(env, client);
}

}  // extern "C"
