#include <jni.h>
#include <tessik/JniHelpers.h>

#include "bundle/Bundle.h"
#include "statusitem/StatusItemBinder.h"

namespace {

JavaVM* _jvm = nullptr;

// Out of memory while setting up: no C++ exception may reach the VM, and the other
// set-up still runs.
void setUp(void (*jniInit)(JNIEnv*), JNIEnv* env) noexcept {
    try {
        jniInit(env);
    } catch (...) {
    }
}

}  // namespace

JavaVM* getJVM() {
    return _jvm;
}

// The client's set-up runs first; each set-up reports and cleans up on its own, so a
// failure of one leaves the other working.
extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
    _jvm = vm;
    JNIEnv* env = getJniEnv(vm);
    if (env == nullptr) return JNI_VERSION_1_6;
    setUp(&status::StatusItemBinder::jniInit, env);
    setUp(&status::Bundle::jniInit, env);
    return JNI_VERSION_1_6;
}
