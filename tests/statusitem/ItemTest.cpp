// Status items: the binder client's set-up, the item's copies and neutral reads, and
// items of every kind decoded from generated wire forms (booleans as any word, text
// with NULs, nested bundles) over an item that held other kinds, and delivered after
// the item and its bundle held other kinds again: each arrives as the Java method of its
// kind with the value it holds now.

#include <gtest/gtest.h>
#include <stdarg.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

#include <android/log.h>
#include <tessik/BinderClient.h>
#include <tessik/JniHelpers.h>

#include "jni/Handle.h"
#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"
#include "support/Generated.h"
#include "support/LogCapture.h"
#include "support/Wire.h"

extern "C" jint JNI_OnLoad(JavaVM* vm, void* reserved);

using status::Bundle;
using status::Item;
using status::StatusItemBinder;
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
    // Decoding creates the keys in the order they came.
    return encode(item.mBundle) == bundleBytes(wireOrder(w.bundle)) ? "" : "bundle";
}

// ---- a JNI environment that records what the binder client calls

// Each Java call made, as its method and arguments printed.
std::vector<std::string> gCalls;
std::deque<std::vector<jbyte>> gArrays;
int gClass;
const char* kMethods[] = {"statusUpdateBoolFromNative",   "statusUpdateLongFromNative",
                          "statusUpdateDoubleFromNative", "statusUpdateStringFromNative",
                          "statusUpdateBundleFromNative", "<init>"};

std::string bitsOf(double d) {
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    return std::to_string(bits);
}

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
        return reinterpret_cast<jobject>(static_cast<uintptr_t>(va_arg(args, jlong)));
    };
    f.CallVoidMethodV = [](JNIEnv*, jobject, jmethodID id, va_list args) {
        const std::string method = *reinterpret_cast<const char* const*>(id);
        std::string call = method + " " + bytesOfArray(va_arg(args, jobject)) + " ";
        if (method == kMethods[Item::ITEM_BOOL]) {
            call += std::to_string(va_arg(args, int));  // a jboolean, promoted
        } else if (method == kMethods[Item::ITEM_LONG]) {
            call += std::to_string(va_arg(args, jlong));
        } else if (method == kMethods[Item::ITEM_DOUBLE]) {
            call += bitsOf(va_arg(args, double));
        } else if (method == kMethods[Item::ITEM_STRING]) {
            call += bytesOfArray(va_arg(args, jobject));
        } else {
            call += std::to_string(reinterpret_cast<uintptr_t>(va_arg(args, jobject)));
        }
        gCalls.push_back(call);
    };
    return f;
}

JNINativeInterface_ gFunctions = makeFunctions();
JNIEnv_ gEnv{&gFunctions};
// A VM whose GetEnv gives `env` to every thread, or refuses when it is null.
template <JNIEnv* env>
JNIInvokeInterface_ invokeInterface() {
    JNIInvokeInterface_ i = {};
    i.GetEnv = [](JavaVM*, void** out, jint) {
        *out = env;
        return env != nullptr ? jint(JNI_OK) : jint(JNI_EVERSION);
    };
    return i;
}

JNIInvokeInterface_ gInvoke = invokeInterface<&gEnv>();
JavaVM_ gVm{&gInvoke};
JNIInvokeInterface_ gRefusing = invokeInterface<nullptr>();
JavaVM_ gRefusingVm{&gRefusing};

// An environment whose client class lacks the double callback, and nothing else that
// a set-up that stopped there may call.
bool gPending = false;
JNINativeInterface_ gPartialClass = [] {
    JNINativeInterface_ f = {};
    f.FindClass = [](JNIEnv*, const char*) { return reinterpret_cast<jclass>(1); };
    f.NewGlobalRef = [](JNIEnv*, jobject o) { return o; };
    f.DeleteGlobalRef = [](JNIEnv*, jobject) {};
    f.ExceptionOccurred = [](JNIEnv*) { return jthrowable(nullptr); };
    f.GetMethodID = [](JNIEnv*, jclass, const char* name, const char*) {
        gPending = strcmp(name, "statusUpdateDoubleFromNative") == 0;
        return gPending ? nullptr : reinterpret_cast<jmethodID>(1);
    };
    f.ExceptionCheck = [](JNIEnv*) -> jboolean { return gPending; };
    f.ExceptionClear = [](JNIEnv*) { gPending = false; };
    return f;
}();

// The call that delivers an item of that type, key and value.
std::string call(int32_t type, const std::string& key, const std::string& value) {
    return std::string(kMethods[type]) + " " + key + " " + value;
}

std::string pointer(const Bundle& b) {
    return std::to_string(reinterpret_cast<uintptr_t>(b.mTree));
}

}  // namespace

// Before a load the binder client exists but is not set up; a load that gets no
// environment stores the VM all the same and sets nothing up.
TEST(StatusItemBinderTest, WithoutAnEnvironmentNothingIsDeliveredOrRegistered) {
    EXPECT_EQ(nullptr, getJVM());
    EXPECT_EQ(nullptr, getJniEnv(nullptr));
    StatusItemBinder* binder = StatusItemBinder::get();
    EXPECT_EQ(binder, StatusItemBinder::get());
    EXPECT_EQ(nullptr, binder->mClientObject);

    LogCapture log;
    EXPECT_EQ(JNI_VERSION_1_6, JNI_OnLoad(&gRefusingVm, nullptr));
    EXPECT_EQ(&gRefusingVm, getJVM());
    EXPECT_EQ(nullptr, BinderClient::findCreator("com.quorvel.dovra.statusitem.StatusItemClient"));

    Item item;
    item.setLong("k", 1);
    EXPECT_FALSE(binder->statusUpdate(item));
    EXPECT_EQ((std::vector<LogLine>{
                  {ANDROID_LOG_ERROR, "StatusItemNative", "Unable to retrieve JNI environment"}}),
              log.lines());

    status::Bundle content;
    content.set("k", 1);
    EXPECT_EQ(nullptr, content.getJBundle(nullptr));  // the Java class is not bound
    EXPECT_EQ(1, content.mTree->mRefs.load());
}

// Nothing of a set-up that failed part way stays for statusUpdate to trust.
TEST(StatusItemBinderTest, AFailedSetUpLeavesNoClassAndNoCreator) {
    LogCapture log;
    JNIEnv_ env{&gPartialClass};
    StatusItemBinder::jniInit(&env);
    EXPECT_EQ(nullptr, StatusItemBinder::_class);
    EXPECT_EQ(nullptr, BinderClient::findCreator("com.quorvel.dovra.statusitem.StatusItemClient"));
}

TEST(StatusItemBinderTest, CreatorsBecomeFindableOnceInitialisedUntilTheyGo) {
    const char* name = "test.Items";
    {
        status::StaticCreator<StatusItemBinder> items(name);
        EXPECT_EQ(nullptr, BinderClient::findCreator(name));
        items.initialize();
        EXPECT_EQ(&items, BinderClient::findCreator(name));
        EXPECT_EQ(StatusItemBinder::get(), items.createBinder());
    }
    EXPECT_EQ(nullptr, BinderClient::findCreator(name));
}

TEST(ItemTest, CopiesAndSetBundleShareOneTree) {
    Bundle bundle;
    bundle.set("x", 1);
    Item item;
    item.setBundle("b", bundle);
    bundle.set("later", 2);
    EXPECT_EQ(2, item.mBundle.getInt32("later"));

    Item copy(item);
    EXPECT_EQ(item.mBundle.mTree, copy.mBundle.mTree);
    copy.mBundle.set("fromCopy", 3);
    EXPECT_EQ(3, item.mBundle.getInt32("fromCopy"));
    EXPECT_EQ(3, bundle.mTree->mRefs.load());
}

TEST(ItemTest, TypeCodesOutsideTheFiveThrowTwoAfterTheTypeField) {
    for (uint32_t type : {5u, ~0u}) {
        android::Parcel p;
        load(p, string16Bytes("a") + words({type}));
        int thrown = 0;
        try {
            Item item(&p);
        } catch (int e) {
            thrown = e;
        }
        EXPECT_EQ(12u, p.dataPosition());
        EXPECT_EQ(2, thrown);
    }
}

TEST(ItemTest, NeutralReadsGiveTheDefault) {
    Item empty = decode<Item>(Bytes{});
    EXPECT_EQ("", empty.mKey);
    EXPECT_EQ(Item::ITEM_BOOL, empty.mType);
    EXPECT_FALSE(empty.mValue.mBool);

    for (uint8_t length : {uint8_t{0}, uint8_t{0xFF}}) {  // empty and null String16
        Bytes bytes{length, length, length, length};
        if (length == 0) bytes.insert(bytes.end(), {0, 0, 0, 0});
        bytes.insert(bytes.end(), {3, 0, 0, 0, 1, 0, 0, 0, 0x7A, 0, 0, 0});
        Item d = decode<Item>(bytes);
        EXPECT_EQ("", d.mKey) << int(length);
        EXPECT_EQ(Item::ITEM_STRING, d.mType);
        EXPECT_EQ("z", d.mString) << int(length);
    }
}

TEST(ItemPropertyTest, GeneratedWireFormsDecodeAndAreDeliveredAsTheyAreNow) {
    ASSERT_EQ(JNI_VERSION_1_6, JNI_OnLoad(&gVm, nullptr));
    status::StatusItemBinder::get()->mClientObject = reinterpret_cast<jobject>(&gClass);
    struct Steps {
        uint32_t seed;
        ItemWire wire;
    };
    const auto make = [](Random& random) { return Steps{random(), makeWire(random)}; };
    const auto check = [](const Steps& steps) {
        Random random(steps.seed);
        const ItemWire& w = steps.wire;
        const Bytes bytes = wireBytes(w);
        android::Parcel p;
        load(p, bytes);
        Item item;
        holdOtherKinds(item, random);
        item = Item(&p);
        if (p.dataPosition() != bytes.size()) return std::string("position");
        const std::string decoded = decodedDiffers(w, item);
        if (!decoded.empty()) return decoded;
        const uint32_t low = static_cast<uint32_t>(w.value.word);
        const std::string values[] = {low != 0 ? "1" : "0", std::to_string(int64_t(w.value.word)),
                                      std::to_string(w.value.word), w.value.text.utf8.c_str(),
                                      pointer(item.mBundle)};
        std::string want = call(w.type, w.key.utf8, values[w.type]);  // the key keeps its NULs
        // Later settings over the decoded item; the bundle it held changes too.
        Bundle bundle = item.mBundle;
        for (uint32_t n = random() % 4; n-- > 0;) {
            const Text text = withNul(random, randomText(random, 8, 2));
            const char* key = text.utf8.c_str();
            const uint64_t word = uint64_t{random()} << 32 | random();
            double d = static_cast<double>(random()) / 7.0;
            switch (random() % 6) {
                case 0:
                    item.setBool(key, word & 1);
                    want = call(Item::ITEM_BOOL, key, word & 1 ? "1" : "0");
                    break;
                case 1:
                    item.setInt(key, static_cast<int>(word));
                    want = call(Item::ITEM_LONG, key, std::to_string(static_cast<int>(word)));
                    break;
                case 2:
                    item.setLong(key, static_cast<long long>(word));
                    want = call(Item::ITEM_LONG, key, std::to_string(static_cast<int64_t>(word)));
                    break;
                case 3:
                    item.setDouble(key, d);
                    want = call(Item::ITEM_DOUBLE, key, bitsOf(d));
                    break;
                case 4:
                    item.setString(key, withNul(random, text).utf8.c_str());
                    want = call(Item::ITEM_STRING, key, item.mString.c_str());
                    break;
                default:
                    bundle.set("later", static_cast<int>(word));
                    item.setBundle(key, word & 2 ? bundle : Bundle());
                    want = call(Item::ITEM_BUNDLE, key, word & 2 ? pointer(bundle) : "0");
            }
        }
        gCalls.clear();
        gArrays.clear();
        if (!status::StatusItemBinder::get()->statusUpdate(item)) return std::string("refused");
        // The Java Bundle owns a reference of the tree.
        if (item.mBundle.mTree != nullptr && item.mType == Item::ITEM_BUNDLE) {
            item.mBundle.mTree->release();
        }
        return gCalls == std::vector<std::string>{want}
                   ? ""
                   : "delivered " + std::to_string(gCalls.size()) + " calls, expected " + want;
    };
    EXPECT_EQ("", firstFailure<Steps>(scaled(2000), make, check, [](const Steps& s) {
                  return "seed " + std::to_string(s.seed) + ", wire " + hex(wireBytes(s.wire));
              }));
}
