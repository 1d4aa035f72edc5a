// Items of every kind, decoded from generated wire forms (booleans as any word, text
// with NULs, nested bundles) and delivered after the item and its bundle held other
// kinds: each arrives as the Java method of its kind with the value it holds now.

#include <gtest/gtest.h>
#include <stdarg.h>
#include <string.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "jni/Handle.h"
#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"
#include "support/Generated.h"
#include "support/Wire.h"

extern "C" jint JNI_OnLoad(JavaVM* vm, void* reserved);

using status::Bundle;
using status::Item;
using namespace testing_support;

namespace {

struct ItemWire {
    Text key;
    int32_t type = Item::ITEM_BOOL;
    Value value;                  // word, text
    std::vector<Setting> bundle;  // the nested bundle's settings
};

Text withNul(Random& random, const Text& text) {
    if (random() % 4 != 0) return text;
    const Text rest = randomText(random, 4, 1);
    return {text.utf8 + '\0' + rest.utf8, text.utf16 + u'\0' + rest.utf16};
}

ItemWire makeWire(Random& random) {
    ItemWire w;
    w.key = withNul(random, randomText(random, 10, random() % 3));
    w.type = static_cast<int32_t>(random() % 5);
    w.value.word = uint64_t{random()} << 32 | random();
    if (w.type == Item::ITEM_BOOL) {  // any non-zero word is true
        w.value.word = random() % 3 == 0 ? 0 : random() % 2 ? 1u << (random() % 32) : random();
    }
    w.value.text = withNul(random, randomText(random, 12, random() % 3));
    w.bundle = randomValue(random, Bundle::TYPE_BUNDLE, 2, 1).bundles.at(0);
    return w;
}

Bytes wireBytes(const ItemWire& w) {
    Bytes out;
    putText(out, w.key.utf16);
    putWord(out, static_cast<uint32_t>(w.type));
    Value v = w.value;
    v.kind = w.type == Item::ITEM_BOOL     ? Bundle::TYPE_BOOL
             : w.type == Item::ITEM_LONG   ? Bundle::TYPE_INT64
             : w.type == Item::ITEM_DOUBLE ? Bundle::TYPE_DOUBLE
                                           : Bundle::TYPE_STRING;
    if (w.type != Item::ITEM_BUNDLE) {
        putValue(out, v);
    } else {
        const Bytes nested = bundleBytes(w.bundle);
        out.insert(out.end(), nested.begin(), nested.end());
    }
    return out;
}

// An item that held every kind, with a bundle of its own, before `last`.
void holdOtherKinds(Item& item, Random& random) {
    Bundle held;
    held.set("held", 1);
    item.setBundle("earlier", held);
    item.setString("earlier", "text");
    item.setDouble("earlier", -2.5);
    item.setLong("earlier", static_cast<long long>(uint64_t{random()} << 32 | random() | 1));
    item.setBool("earlier", true);
    item.setLong("earlier", -1);
}

std::string decodedDiffers(const ItemWire& w, const Item& item) {
    if (item.mKey != w.key.utf8) return "key";
    if (item.mType != w.type) return "type";
    const uint64_t word = w.value.word;
    switch (w.type) {
        case Item::ITEM_BOOL:
            return item.mValue.mBool == (static_cast<uint32_t>(word) != 0) ? "" : "boolean";
        case Item::ITEM_LONG:
            return item.mValue.mInt64 == static_cast<int64_t>(word) ? "" : "long";
        case Item::ITEM_DOUBLE:
            return memcmp(&item.mValue.mDouble, &word, 8) == 0 ? "" : "double";
        case Item::ITEM_STRING:
            return item.mString == w.value.text.utf8 ? "" : "string";
    }
    std::map<std::string, const Value*> last;
    for (const Setting& s : w.bundle) last[s.key.utf8] = &s.value;
    if ((item.mBundle.mTree == nullptr) != last.empty()) return "bundle's tree";
    for (const auto& [key, value] : last) {
        const std::string differs = readsDiffer(item.mBundle, key, *value, true);
        if (!differs.empty()) return "bundle key " + key + ": " + differs;
    }
    return "";
}

// ---- a JNI environment that records what the binder client calls

struct Call {
    std::string method;
    std::string key;
    int64_t word = 0;  // boolean, long, double bits
    std::string text;
    jlong handle = 0;
};

std::deque<std::vector<jbyte>> gArrays;
std::vector<Call> gCalls;
std::map<jlong, bool> gObjects;  // handle of each Bundle made
const char* kMethods[] = {"statusUpdateBoolFromNative",   "statusUpdateLongFromNative",
                          "statusUpdateDoubleFromNative", "statusUpdateStringFromNative",
                          "statusUpdateBundleFromNative", "<init>"};
int gClass;

std::string bytesOfArray(jobject array) {
    if (array == nullptr) return "(null)";
    const auto* bytes = reinterpret_cast<const std::vector<jbyte>*>(array);
    return std::string(bytes->begin(), bytes->end());
}

JNINativeInterface_ makeFunctions() {
    JNINativeInterface_ f = {};
    f.FindClass = [](JNIEnv*, const char*) { return reinterpret_cast<jclass>(&gClass); };
    f.NewGlobalRef = [](JNIEnv*, jobject o) { return o; };
    f.DeleteGlobalRef = [](JNIEnv*, jobject) {};
    f.DeleteLocalRef = [](JNIEnv*, jobject) {};
    f.ExceptionCheck = [](JNIEnv*) -> jboolean { return JNI_FALSE; };
    f.ExceptionOccurred = [](JNIEnv*) { return jthrowable(nullptr); };
    f.ExceptionClear = [](JNIEnv*) {};
    f.GetFieldID = [](JNIEnv*, jclass, const char*, const char*) {
        return reinterpret_cast<jfieldID>(1);
    };
    f.RegisterNatives = [](JNIEnv*, jclass, const JNINativeMethod*, jint) { return jint(0); };
    f.GetMethodID = [](JNIEnv*, jclass, const char* name, const char*) {
        for (size_t i = 0; i < sizeof kMethods / sizeof kMethods[0]; ++i) {
            if (strcmp(name, kMethods[i]) == 0) return reinterpret_cast<jmethodID>(&kMethods[i]);
        }
        return jmethodID(nullptr);
    };
    f.NewByteArray = [](JNIEnv*, jsize size) {
        gArrays.emplace_back(static_cast<size_t>(size));
        return reinterpret_cast<jbyteArray>(&gArrays.back());
    };
    f.SetByteArrayRegion = [](JNIEnv*, jbyteArray array, jsize start, jsize length,
                              const jbyte* bytes) {
        auto* target = reinterpret_cast<std::vector<jbyte>*>(array);
        memcpy(target->data() + start, bytes, static_cast<size_t>(length));
    };
    f.NewObjectV = [](JNIEnv*, jclass, jmethodID, va_list args) {
        const jlong handle = va_arg(args, jlong);
        gObjects[handle] = true;
        return reinterpret_cast<jobject>(static_cast<uintptr_t>(handle));
    };
    f.CallVoidMethodV = [](JNIEnv*, jobject, jmethodID id, va_list args) {
        Call call;
        call.method = *reinterpret_cast<const char* const*>(id);
        call.key = bytesOfArray(va_arg(args, jobject));
        if (call.method == kMethods[0]) {
            call.word = va_arg(args, int);  // a jboolean, promoted
        } else if (call.method == kMethods[1]) {
            call.word = va_arg(args, jlong);
        } else if (call.method == kMethods[2]) {
            const double d = va_arg(args, double);
            memcpy(&call.word, &d, sizeof d);
        } else if (call.method == kMethods[3]) {
            call.text = bytesOfArray(va_arg(args, jobject));
        } else {
            call.handle = static_cast<jlong>(reinterpret_cast<uintptr_t>(va_arg(args, jobject)));
        }
        gCalls.push_back(call);
    };
    return f;
}

JNINativeInterface_ gFunctions = makeFunctions();
JNIEnv_ gEnv{&gFunctions};
JNIInvokeInterface_ gInvoke = [] {
    JNIInvokeInterface_ i = {};
    i.GetEnv = [](JavaVM*, void** env, jint) {
        *env = &gEnv;
        return jint(JNI_OK);
    };
    return i;
}();
JavaVM_ gVm{&gInvoke};

// "" when the one call recorded delivers the item as it is now.
std::string deliveryDiffers(const Item& item) {
    if (gCalls.size() != 1) return std::to_string(gCalls.size()) + " calls";
    const Call& call = gCalls.front();
    if (call.method != kMethods[item.mType]) return "method " + call.method;
    if (call.key != item.mKey) return "key";
    switch (item.mType) {
        case Item::ITEM_BOOL:
            return call.word == (item.mValue.mBool ? 1 : 0) ? "" : "boolean";
        case Item::ITEM_LONG:
            return call.word == item.mValue.mInt64 ? "" : "long";
        case Item::ITEM_DOUBLE:
            return memcmp(&call.word, &item.mValue.mDouble, 8) == 0 ? "" : "double";
        case Item::ITEM_STRING:
            return call.text == item.mString.c_str() ? "" : "string";
    }
    if (item.mBundle.mTree == nullptr) return call.handle == 0 ? "" : "a bundle for none";
    if (status::jni::treeOf(call.handle) != item.mBundle.mTree) return "bundle";
    status::jni::treeOf(call.handle)->release();  // the Java object's reference
    return "";
}

}  // namespace

TEST(ItemPropertyTest, GeneratedWireFormsDecodeOverAnItemThatHeldOtherKinds) {
    const auto check = [](const ItemWire& w) {
        android::Parcel p;
        const Bytes bytes = wireBytes(w);
        load(p, bytes);
        Random random(static_cast<uint32_t>(bytes.size()));
        Item item;
        holdOtherKinds(item, random);
        item = Item(&p);
        if (p.dataPosition() != bytes.size()) return std::string("position");
        return decodedDiffers(w, item);
    };
    EXPECT_EQ("", firstFailure<ItemWire>(scaled(2000), makeWire, check, [](const ItemWire& w) {
                  return "type " + std::to_string(w.type) + ": " + hex(wireBytes(w));
              }));
}

TEST(ItemPropertyTest, EveryKindIsDeliveredAsItIsNowAfterOtherKinds) {
    ASSERT_EQ(JNI_VERSION_1_6, JNI_OnLoad(&gVm, nullptr));
    status::StatusItemBinder::get()->mClientObject = reinterpret_cast<jobject>(&gClass);
    struct Steps {
        uint32_t seed;
        ItemWire wire;
    };
    const auto make = [](Random& random) { return Steps{random(), makeWire(random)}; };
    const auto check = [](const Steps& steps) {
        Random random(steps.seed);
        android::Parcel p;
        load(p, wireBytes(steps.wire));
        Item item(&p);
        // Later settings over the decoded item; the bundle it held changes too.
        Bundle bundle = item.mBundle;
        for (uint32_t n = random() % 4; n-- > 0;) {
            const Text key = withNul(random, randomText(random, 8, 2));
            switch (random() % 6) {
                case 0:
                    item.setBool(key.utf8.c_str(), random() % 2);
                    break;
                case 1:
                    item.setInt(key.utf8.c_str(), static_cast<int>(random()));
                    break;
                case 2:
                    item.setLong(key.utf8.c_str(),
                                 static_cast<long long>(uint64_t{random()} << 32 | random()));
                    break;
                case 3:
                    item.setDouble(key.utf8.c_str(), random() / 7.0);
                    break;
                case 4:
                    item.setString(key.utf8.c_str(), withNul(random, key).utf8.c_str());
                    break;
                default:
                    bundle.set("later", static_cast<int>(random()));
                    item.setBundle(key.utf8.c_str(), random() % 3 ? bundle : Bundle());
            }
        }
        gCalls.clear();
        gArrays.clear();
        if (!status::StatusItemBinder::get()->statusUpdate(item)) return std::string("refused");
        return deliveryDiffers(item);
    };
    EXPECT_EQ("", firstFailure<Steps>(scaled(2000), make, check, [](const Steps& s) {
                  return "seed " + std::to_string(s.seed) + ", wire " + hex(wireBytes(s.wire));
              }));
}
