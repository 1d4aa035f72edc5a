// JNI local references counted as the VM itself holds them. The VM's tool interface
// reports each live local reference as a heap root with its thread and frame depth;
// reachability cannot tell a leaked reference to an object that the result also holds.
// To see the peak inside a native, the calling thread's function table is wrapped for
// the duration of one action, and every JNI call the native makes is followed by a
// count of the references its frame holds.
#include "LocalRefs.h"

#include <jvmti.h>
#include <stdarg.h>

#include <algorithm>

namespace {

jvmtiEnv* gJvmti = nullptr;

// The thread and the native being watched, and what the counts showed.
jlong gWatchedThread = -1;
jmethodID gWatched = nullptr;
jint gPeak = 0;
jint gSamples = 0;

struct Count {
    jlong thread;
    bool topFrameOnly;
    jint references = 0;
};

jint JNICALL countRoot(jvmtiHeapReferenceKind kind, const jvmtiHeapReferenceInfo* info, jlong,
                       jlong, jlong, jlong*, jlong*, jint, void* data) {
    auto* count = static_cast<Count*>(data);
    if (kind == JVMTI_HEAP_REFERENCE_JNI_LOCAL && info->jni_local.thread_tag == count->thread &&
        (!count->topFrameOnly || info->jni_local.depth == 0)) {
        ++count->references;
    }
    return 0;  // roots only: never follow into the heap
}

jint countRoots(jlong thread, bool topFrameOnly) {
    Count count{thread, topFrameOnly};
    jvmtiHeapCallbacks callbacks = {};
    callbacks.heap_reference_callback = countRoot;
    if (gJvmti->FollowReferences(0, nullptr, nullptr, &callbacks, &count) != JVMTI_ERROR_NONE) {
        return -1;
    }
    return count.references;
}

const JNINativeInterface_* gReal = nullptr;
JNINativeInterface_ gWrapped;

// Counts when the innermost frame is a watched native.
void sample() {
    jvmtiFrameInfo frame;
    jint depth = 0;
    if (gJvmti->GetStackTrace(nullptr, 0, 1, &frame, &depth) != JVMTI_ERROR_NONE || depth != 1 ||
        frame.method != gWatched) {
        return;
    }
    ++gSamples;
    const jint count = countRoots(gWatchedThread, true);
    gPeak = count < 0 || gPeak < 0 ? -1 : std::max(gPeak, count);
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

// The variadic calls, through their va_list forms.
#define VARIADIC(name, R, Target)                                                \
    R JNICALL wrapped##name(JNIEnv* env, Target target, jmethodID method, ...) { \
        va_list args;                                                            \
        va_start(args, method);                                                  \
        R result = gReal->name##V(env, target, method, args);                    \
        va_end(args);                                                            \
        sample();                                                                \
        return result;                                                           \
    }                                                                            \
    static_assert(true)

VARIADIC(NewObject, jobject, jclass);
VARIADIC(CallObjectMethod, jobject, jobject);
VARIADIC(CallStaticObjectMethod, jobject, jclass);

// Every call that can make a local reference (the variadic CallNonvirtualObjectMethod
// aside: nothing here calls it), since the count is highest just after one.
// clang-format off
#define CREATORS(X)                                                                              \
    X(FindClass) X(GetSuperclass) X(ToReflectedMethod) X(ToReflectedField) X(ExceptionOccurred)  \
    X(NewLocalRef) X(PopLocalFrame) X(AllocObject) X(NewObjectV) X(NewObjectA) X(GetObjectClass) \
    X(GetObjectField) X(GetStaticObjectField) X(CallObjectMethodV) X(CallObjectMethodA)          \
    X(CallNonvirtualObjectMethodV) X(CallNonvirtualObjectMethodA) X(CallStaticObjectMethodV)     \
    X(CallStaticObjectMethodA) X(NewString) X(NewStringUTF) X(NewObjectArray)                    \
    X(GetObjectArrayElement) X(NewBooleanArray) X(NewByteArray) X(NewCharArray)                  \
    X(NewShortArray) X(NewIntArray) X(NewLongArray) X(NewFloatArray) X(NewDoubleArray)           \
    X(NewDirectByteBuffer) X(GetModule)
// clang-format on

#define WRAP(name) \
    gWrapped.name = &Wrap<decltype(JNINativeInterface_::name), &JNINativeInterface_::name>::call;

void wrapTable(const JNINativeInterface_* real) {
    gReal = real;
    gWrapped = *real;
    CREATORS(WRAP)
    gWrapped.NewObject = wrappedNewObject;
    gWrapped.CallObjectMethod = wrappedCallObjectMethod;
    gWrapped.CallStaticObjectMethod = wrappedCallStaticObjectMethod;
}

// Threads are told apart by a tag on their Thread object.
jlong tagThisThread(JNIEnv* env) {
    static jlong lastTag = 0;
    jthread thread = nullptr;
    if (gJvmti->GetCurrentThread(&thread) != JVMTI_ERROR_NONE) return -1;
    jlong tag = 0;
    gJvmti->GetTag(thread, &tag);
    if (tag == 0) gJvmti->SetTag(thread, tag = ++lastTag);
    env->DeleteLocalRef(thread);
    return tag;
}

}  // namespace

// The tool interface, taken in the live phase on first use; null if the VM refuses it.
jvmtiEnv* jvmti(JNIEnv* env) {
    JavaVM* vm = nullptr;
    jvmtiEnv* jvmti = nullptr;
    jvmtiCapabilities capabilities = {};
    capabilities.can_tag_objects = 1;
    if (gJvmti == nullptr && env->GetJavaVM(&vm) == JNI_OK &&
        vm->GetEnv(reinterpret_cast<void**>(&jvmti), JVMTI_VERSION_1_2) == JNI_OK &&
        jvmti->AddCapabilities(&capabilities) == JVMTI_ERROR_NONE) {
        gJvmti = jvmti;
    }
    return gJvmti;
}

jint localRefsOfThisThread(JNIEnv* env) {
    return jvmti(env) == nullptr ? -1 : countRoots(tagThisThread(env), false);
}

extern "C" {

// {the most local references the native `watched` held just after any of its JNI calls
// that can make one, while `action` ran; the number of such calls}.
JNIEXPORT jintArray JNICALL Java_com_quorvel_dovra_statusitem_TestNative_peakLocalRefs(
    JNIEnv* env, jclass, jobject watched, jobject action) {
    jint result[2] = {-1, 0};
    jclass runnable = env->FindClass("java/lang/Runnable");
    jmethodID run = env->GetMethodID(runnable, "run", "()V");
    env->DeleteLocalRef(runnable);
    if (jvmti(env) != nullptr) {
        gWatched = env->FromReflectedMethod(watched);
        gWatchedThread = tagThisThread(env);
        gPeak = 0;
        gSamples = 0;
        const JNINativeInterface_* real = env->functions;
        wrapTable(real);
        env->functions = &gWrapped;
        real->CallVoidMethodA(env, action, run, nullptr);
        env->functions = real;
        gWatchedThread = -1;
        result[0] = gPeak;
        result[1] = gSamples;
    }
    if (env->ExceptionCheck()) return nullptr;  // the action failed: it reaches the caller
    jintArray out = env->NewIntArray(2);
    if (out != nullptr) env->SetIntArrayRegion(out, 0, 2, result);
    return out;
}

}  // extern "C"
