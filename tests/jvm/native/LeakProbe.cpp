// Local references a native leaves behind, measured directly: the checker does not
// report them piling up. An object whose only strong reference is a leaked local one
// survives a full collection; its weak global reference shows that.
#include <jni.h>

#include <string>
#include <vector>

#include "LeakProbe.h"

#include "bundle/Bundle.h"

namespace {

std::vector<jweak> gTracked;

}  // namespace

jint survivors(JNIEnv* env, const std::vector<jweak>& weak) {
    jclass system = env->FindClass("java/lang/System");
    env->CallStaticVoidMethod(system, env->GetStaticMethodID(system, "gc", "()V"));
    env->DeleteLocalRef(system);
    jint alive = 0;
    for (jweak w : weak) {
        if (!env->IsSameObject(w, nullptr)) ++alive;
        env->DeleteWeakGlobalRef(w);
    }
    return alive;
}

jint trackedSurvivors(JNIEnv* env) {
    const jint alive = survivors(env, gTracked);
    gTracked.clear();
    return alive;
}

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_dovra_statusitem_TestNative_track(JNIEnv* env, jclass,
                                                                          jobject object) {
    gTracked.push_back(env->NewWeakGlobalRef(object));
}

// Puts `count` fresh strings through the string array native within this frame and
// reports how many the native still holds once the array itself is gone.
JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_stringArrayPutLeaks(
    JNIEnv* env, jclass, jlong handle, jint count) {
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = env->NewObjectArray(count, stringClass, nullptr);
    env->DeleteLocalRef(stringClass);
    std::vector<jweak> weak;
    for (jint i = 0; i < count; ++i) {
        jstring element = env->NewStringUTF(("e" + std::to_string(i)).c_str());
        env->SetObjectArrayElement(array, i, element);
        weak.push_back(env->NewWeakGlobalRef(element));
        env->DeleteLocalRef(element);
    }
    jstring key = env->NewStringUTF("s");
    status::Bundle::nativePutStringArray(env, nullptr, handle, key, array);
    env->DeleteLocalRef(key);
    env->DeleteLocalRef(array);
    return survivors(env, weak);
}

}  // extern "C"
