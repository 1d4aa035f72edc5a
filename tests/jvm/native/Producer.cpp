// The native producer of the JVM tests: builds status items and hands them to the
// binder client, on the calling Java thread or on a native thread of its own.
#include <jni.h>
#include <stdint.h>
#include <tessik/JniHelpers.h>

#include <functional>
#include <string>
#include <thread>

#include "LocalRefs.h"

#include "bundle/Bundle.h"
#include "jni/Boundary.h"
#include "jni/Handle.h"
#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"

using status::Bundle;
using status::Item;
using status::StatusItemBinder;

namespace {

std::string bytesOf(JNIEnv* env, jbyteArray array) {
    if (array == nullptr) return std::string();
    std::string out(static_cast<size_t>(env->GetArrayLength(array)), '\0');
    env->GetByteArrayRegion(array, 0, static_cast<jsize>(out.size()),
                            reinterpret_cast<jbyte*>(&out[0]));
    return out;
}

// Delivers on a native thread of its own, or on the calling thread; there it reports,
// then clears, what a throwing callback left: 1 for a true result, plus 2 for a pending
// exception.
jint deliver(JNIEnv* env, const Item& item, bool onNativeThread) {
    bool result = false;
    if (onNativeThread) {
        std::thread producer([&] { result = StatusItemBinder::get()->statusUpdate(item); });
        producer.join();
        return result;
    }
    result = StatusItemBinder::get()->statusUpdate(item);
    const bool pending = env->ExceptionCheck();
    if (pending) env->ExceptionClear();
    return (result ? 1 : 0) | (pending ? 2 : 0);
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_refCount(JNIEnv*, jclass,
                                                                             jlong handle) {
    return status::jni::treeOf(handle)->mRefs.load();
}

// An item with its fields set directly: any key bytes, any type code.
JNIEXPORT jint JNICALL Java_com_quorvel_dovra_statusitem_TestNative_deliverFields(
    JNIEnv* env, jclass, jbyteArray key, jint type, jlong bits, jdouble real, jbyteArray text,
    jlong bundleHandle, jboolean onNativeThread) {
    Item item;
    item.mKey = bytesOf(env, key);
    item.mType = type;
    if (type == Item::ITEM_DOUBLE) {
        item.mValue.mDouble = real;
    } else if (type == Item::ITEM_BOOL) {
        item.mValue.mBool = bits != 0;
    } else {
        item.mValue.mInt64 = bits;
    }
    item.mString = bytesOf(env, text);
    item.mBundle = Bundle(status::jni::treeOf(bundleHandle));
    return deliver(env, item, onNativeThread);
}

// Delivers `count` items, cycling through the five kinds, from one native thread that
// never returns to Java in between, and counts the JNI local references the thread
// holds. Returns {statusUpdate calls that said true, references held after all of them,
// references each of the first five items (one of each kind) left behind, 1 when the
// thread's environment was still the one it was attached with}.
JNIEXPORT jintArray JNICALL Java_com_quorvel_dovra_statusitem_TestNative_deliverMany(JNIEnv* env,
                                                                                     jclass,
                                                                                     jint count) {
    jint result[8] = {0, -1, -1, -1, -1, -1, -1, 0};
    std::thread producer([&] {
        JNIEnv* producerEnv = getJniEnv(getJVM());
        if (producerEnv == nullptr) return;
        Bundle shared;
        shared.set("n", 1);
        const std::function<void(Item&, jint)> kinds[] = {
            [](Item& item, jint i) { item.setBool("bool", (i & 1) != 0); },
            [](Item& item, jint i) { item.setLong("long", i); },
            [](Item& item, jint i) { item.setDouble("double", i * 0.5); },
            [](Item& item, jint) { item.setString("string", "text"); },
            [&](Item& item, jint) { item.setBundle("bundle", shared); },
        };
        Item item;
        for (jint i = 0; i < count; ++i) {
            kinds[i % 5](item, i);
            const jint before = i < 5 ? localRefsOfThisThread(producerEnv) : 0;
            if (StatusItemBinder::get()->statusUpdate(item)) ++result[0];
            if (i < 5) result[2 + i] = localRefsOfThisThread(producerEnv) - before;
        }
        result[1] = localRefsOfThisThread(producerEnv);
        result[7] = getJniEnv(getJVM()) == producerEnv ? 1 : 0;
    });
    producer.join();
    jintArray out = env->NewIntArray(8);
    if (out != nullptr) env->SetIntArrayRegion(out, 0, 8, result);
    return out;
}

// Wraps the handle's tree in a new Java Bundle the way a bundle item is handed over.
JNIEXPORT jobject JNICALL Java_com_quorvel_dovra_statusitem_TestNative_wrapTree(JNIEnv* env, jclass,
                                                                                jlong handle) {
    Bundle bundle(status::jni::treeOf(handle));
    return bundle.getJBundle(env);
}

// A native whose body runs out of memory: the boundary turns it into a Java error.
JNIEXPORT jlong JNICALL Java_com_quorvel_dovra_statusitem_TestNative_failAllocation(JNIEnv* env,
                                                                                    jclass) {
    return status::jni::guard(env, jlong(-1), []() -> jlong { throw std::bad_alloc(); });
}

}  // extern "C"
