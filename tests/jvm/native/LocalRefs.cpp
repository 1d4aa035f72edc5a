// JNI local references counted as the VM itself holds them. The VM's tool interface
// reports each live local reference as a heap root with its thread and frame depth;
// reachability cannot tell a leaked reference to an object that the result also holds.
// To see the peak inside a native, the calling thread's function table is wrapped for
// the duration of one action, and every JNI call the native makes is followed by a
// count of the references its frame holds.
#include "LocalRefs.h"

#include <jvmti.h>
#include <stdarg.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

jvmtiEnv* gJvmti = nullptr;

// The thread and the natives being watched, and what the counts showed.
jlong gWatchedThread = -1;
std::vector<jmethodID> gWatchedMethods;
jint gPeak = 0;
jint gSamples = 0;

struct Count {
    jlong thread;
    bool topFrameOnly;
    jint references = 0;
    jmethodID method = nullptr;
};

jint JNICALL countRoot(jvmtiHeapReferenceKind kind, const jvmtiHeapReferenceInfo* info, jlong,
                       jlong, jlong, jlong*, jlong*, jint, void* data) {
    auto* count = static_cast<Count*>(data);
    if (kind != JVMTI_HEAP_REFERENCE_JNI_LOCAL || info->jni_local.thread_id != count->thread) {
        return 0;
    }
    if (count->topFrameOnly && info->jni_local.depth != 0) return 0;
    ++count->references;
    count->method = info->jni_local.method;
    return 0;  // roots only: never follow into the heap
}

Count countRoots(jlong thread, bool topFrameOnly) {
    Count count{thread, topFrameOnly};
    jvmtiHeapCallbacks callbacks = {};
    callbacks.heap_reference_callback = countRoot;
    if (gJvmti->FollowReferences(0, nullptr, nullptr, &callbacks, &count) != JVMTI_ERROR_NONE) {
        count.references = -1000;
    }
    return count;
}

const JNINativeInterface_* gReal = nullptr;
JNINativeInterface_ gWrapped;

// Counts when the innermost frame is a watched native.
void sample() {
    jvmtiFrameInfo frame;
    jint depth = 0;
    if (gJvmti->GetStackTrace(nullptr, 0, 1, &frame, &depth) != JVMTI_ERROR_NONE || depth != 1 ||
        std::find(gWatchedMethods.begin(), gWatchedMethods.end(), frame.method) ==
            gWatchedMethods.end()) {
        return;
    }
    ++gSamples;
    gPeak = std::max(gPeak, countRoots(gWatchedThread, true).references);
}

// Each wrapped function calls the real one, then counts.
template <class F, F JNINativeInterface_::*Member>
struct Wrap;

template <class R, class... A, R (JNICALL* JNINativeInterface_::*Member)(JNIEnv*, A...)>
struct Wrap<R(JNICALL*)(JNIEnv*, A...), Member> {
    static R JNICALL call(JNIEnv* env, A... args) {
        if constexpr (std::is_void_v<R>) {
            (gReal->*Member)(env, args...);
            sample();
        } else {
            R result = (gReal->*Member)(env, args...);
            sample();
            return result;
        }
    }
};

#define WRAP(name) \
    gWrapped.name = &Wrap<decltype(JNINativeInterface_::name), &JNINativeInterface_::name>::call

// The variadic calls, through their va_list forms.
#define VARIADIC(name, R, Target)                                                \
    R JNICALL wrapped##name(JNIEnv* env, Target target, jmethodID method, ...) { \
        va_list args;                                                            \
        va_start(args, method);                                                  \
        R result = gReal->name##V(env, target, method, args);                    \
        va_end(args);                                                            \
        sample();                                                                \
        return result;                                                           \
    }

VARIADIC(NewObject, jobject, jclass)
VARIADIC(CallObjectMethod, jobject, jobject)
VARIADIC(CallStaticObjectMethod, jobject, jclass)

jobject JNICALL wrappedCallNonvirtualObjectMethod(JNIEnv* env, jobject target, jclass clazz,
                                                  jmethodID method, ...) {
    va_list args;
    va_start(args, method);
    jobject result = gReal->CallNonvirtualObjectMethodV(env, target, clazz, method, args);
    va_end(args);
    sample();
    return result;
}

void wrapTable(const JNINativeInterface_* real) {
    gReal = real;
    gWrapped = *real;
    // Every call that can make a local reference: the count is highest just after one.
    WRAP(FindClass);
    WRAP(GetSuperclass);
    WRAP(ToReflectedMethod);
    WRAP(ToReflectedField);
    WRAP(ExceptionOccurred);
    WRAP(NewLocalRef);
    WRAP(PopLocalFrame);
    WRAP(AllocObject);
    WRAP(NewObjectV);
    WRAP(NewObjectA);
    WRAP(GetObjectClass);
    WRAP(GetObjectField);
    WRAP(GetStaticObjectField);
    WRAP(CallObjectMethodV);
    WRAP(CallObjectMethodA);
    WRAP(CallNonvirtualObjectMethodV);
    WRAP(CallNonvirtualObjectMethodA);
    WRAP(CallStaticObjectMethodV);
    WRAP(CallStaticObjectMethodA);
    WRAP(NewString);
    WRAP(NewStringUTF);
    WRAP(NewObjectArray);
    WRAP(GetObjectArrayElement);
    WRAP(NewBooleanArray);
    WRAP(NewByteArray);
    WRAP(NewCharArray);
    WRAP(NewShortArray);
    WRAP(NewIntArray);
    WRAP(NewLongArray);
    WRAP(NewFloatArray);
    WRAP(NewDoubleArray);
    WRAP(NewDirectByteBuffer);
    WRAP(GetModule);
    gWrapped.NewObject = wrappedNewObject;
    gWrapped.CallObjectMethod = wrappedCallObjectMethod;
    gWrapped.CallNonvirtualObjectMethod = wrappedCallNonvirtualObjectMethod;
    gWrapped.CallStaticObjectMethod = wrappedCallStaticObjectMethod;
}

jlong threadId(JNIEnv* env) {
    jclass threadClass = env->FindClass("java/lang/Thread");
    jobject current = env->CallStaticObjectMethod(
        threadClass, env->GetStaticMethodID(threadClass, "currentThread", "()Ljava/lang/Thread;"));
    jlong id = -1;
    if (!env->ExceptionCheck()) {
        id = env->CallLongMethod(current, env->GetMethodID(threadClass, "getId", "()J"));
        if (env->ExceptionCheck()) id = -1;
    }
    env->DeleteLocalRef(current);
    env->DeleteLocalRef(threadClass);
    return id;
}

}  // namespace

bool localRefsAvailable(JNIEnv* env) {
    if (gJvmti != nullptr) return true;
    JavaVM* vm = nullptr;
    jvmtiEnv* jvmti = nullptr;
    if (env->GetJavaVM(&vm) != JNI_OK ||
        vm->GetEnv(reinterpret_cast<void**>(&jvmti), JVMTI_VERSION_1_2) != JNI_OK) {
        return false;
    }
    jvmtiCapabilities capabilities = {};
    capabilities.can_tag_objects = 1;
    if (jvmti->AddCapabilities(&capabilities) != JVMTI_ERROR_NONE) return false;
    gJvmti = jvmti;
    return true;
}

jint localRefsOfThisThread(JNIEnv* env) {
    if (!localRefsAvailable(env)) return -1;
    return countRoots(threadId(env), false).references;
}

extern "C" {

// {the most local references a native of `watched` named `name` held just after any
// of its JNI calls that can make one, while `action` ran; the number of such calls}.
JNIEXPORT jintArray JNICALL Java_com_quorvel_dovra_statusitem_TestNative_peakLocalRefs(
    JNIEnv* env, jclass, jclass watched, jstring name, jobject action) {
    jint result[2] = {-1, 0};
    const char* wanted = env->GetStringUTFChars(name, nullptr);
    if (wanted != nullptr && localRefsAvailable(env)) {
        jint count = 0;
        jmethodID* methods = nullptr;
        gJvmti->GetClassMethods(watched, &count, &methods);
        gWatchedMethods.clear();
        for (jint i = 0; i < count; ++i) {
            char* methodName = nullptr;
            gJvmti->GetMethodName(methods[i], &methodName, nullptr, nullptr);
            if (strcmp(methodName, wanted) == 0) gWatchedMethods.push_back(methods[i]);
            gJvmti->Deallocate(reinterpret_cast<unsigned char*>(methodName));
        }
        gJvmti->Deallocate(reinterpret_cast<unsigned char*>(methods));
        jclass runnable = env->FindClass("java/lang/Runnable");
        jmethodID run = env->GetMethodID(runnable, "run", "()V");
        env->DeleteLocalRef(runnable);
        gWatchedThread = threadId(env);
        gPeak = 0;
        gSamples = 0;
        const JNINativeInterface_* real = env->functions;
        wrapTable(real);
        env->functions = &gWrapped;
        real->CallVoidMethodA(env, action, run, nullptr);
        env->functions = real;
        gWatchedThread = -1;
        result[0] = gWatchedMethods.empty() ? -1 : gPeak;
        result[1] = gSamples;
    }
    if (wanted != nullptr) env->ReleaseStringUTFChars(name, wanted);
    if (env->ExceptionCheck()) return nullptr;  // the action failed: it reaches the caller
    jintArray out = env->NewIntArray(2);
    if (out != nullptr) env->SetIntArrayRegion(out, 0, 2, result);
    return out;
}

}  // extern "C"
