// The floors the JVM benchmarks measure the library against: natives that do only
// what every bundle native must do (take and give back the key's characters), and a
// delivery loop that makes the binder client's Java call with nothing around it.

#include <jni.h>
#include <string.h>
#include <tessik/JniHelpers.h>

#include <time.h>

#include <thread>

#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"

using status::Item;
using status::StatusItemBinder;

namespace {

const char kKey[] = "battery.level";

// CPU time of the calling thread: the machine may be shared, and time spent waiting
// for a core is not the code's.
jlong threadCpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<jlong>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

jint takeKey(JNIEnv* env, jstring key) {
    const char* chars = env->GetStringUTFChars(key, nullptr);
    if (chars == nullptr) return 0;
    const jint first = static_cast<unsigned char>(chars[0]);
    env->ReleaseStringUTFChars(key, chars);
    return first;
}

}  // namespace

extern "C" {

// Same parameters as the put and get natives of an int.
JNIEXPORT void JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_put(JNIEnv* env, jclass,
                                                                            jlong, jstring key,
                                                                            jint) {
    takeKey(env, key);
}

JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_get(JNIEnv* env, jclass,
                                                                            jlong, jstring key) {
    return takeKey(env, key);
}

// What the frame of the string put must do beyond the baseline: the value's characters
// are taken and given back inside the key's.
JNIEXPORT void JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_putText(JNIEnv* env, jclass,
                                                                                jlong, jstring key,
                                                                                jstring value) {
    const char* chars = env->GetStringUTFChars(key, nullptr);
    if (chars == nullptr) return;
    takeKey(env, value);
    env->ReleaseStringUTFChars(key, chars);
}

// What the frame of the string get must do beyond the baseline: a byte array of the
// value's length.
JNIEXPORT jbyteArray JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_getText(JNIEnv* env,
                                                                                      jclass, jlong,
                                                                                      jstring key) {
    static const char kValue[] = "value-42";
    takeKey(env, key);
    return createStringByteArray(env, kValue, strlen(kValue));
}

// `count` long items through the binder client, from a new native thread. Returns the
// thread's CPU time for them, or -1 if one was refused.
JNIEXPORT jlong JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_deliver(JNIEnv*, jclass,
                                                                                 jint count) {
    jlong nanos = -1;
    std::thread producer([&] {
        Item item;
        item.setLong(kKey, 0);
        StatusItemBinder::get()->statusUpdate(item);  // attaches the thread
        const jlong start = threadCpuNanos();
        for (jint i = 0; i < count; ++i) {
            item.setLong(kKey, i);
            if (!StatusItemBinder::get()->statusUpdate(item)) return;
        }
        nanos = threadCpuNanos() - start;
    });
    producer.join();
    return nanos;
}

// The same Java calls, made directly: a fresh key array, the call, the reference
// deleted.
JNIEXPORT jlong JNICALL Java_com_quorvel_dovra_statusitem_bench_Baseline_deliverBare(JNIEnv* env,
                                                                                     jclass,
                                                                                     jint count) {
    JavaVM* vm = nullptr;
    env->GetJavaVM(&vm);
    jobject client = StatusItemBinder::get()->mClientObject;
    jmethodID method = StatusItemBinder::_statusUpdateLong;
    if (client == nullptr || method == nullptr) return -1;
    jlong nanos = -1;
    std::thread producer([&] {
        JNIEnv* e = getJniEnv(vm);
        if (e == nullptr) return;
        const jsize length = static_cast<jsize>(strlen(kKey));
        const jlong start = threadCpuNanos();
        for (jint i = 0; i < count; ++i) {
            jbyteArray key = e->NewByteArray(length);
            if (key == nullptr) return;
            e->SetByteArrayRegion(key, 0, length, reinterpret_cast<const jbyte*>(kKey));
            e->CallVoidMethod(client, method, key, static_cast<jlong>(i));
            e->DeleteLocalRef(key);
            if (e->ExceptionCheck()) return;
        }
        nanos = threadCpuNanos() - start;
    });
    producer.join();
    return nanos;
}

}  // extern "C"
