#pragma once

#include <binder/Parcel.h>
#include <jni.h>
#include <stdint.h>

#include <atomic>
#include <string>
#include <vector>

#include "statusitem/Export.h"

namespace status {

class BundleArray;

// A handle on a shared, reference-counted tree of typed entries. Copies share the
// tree: a value set through one handle is seen through all of them.
class STATUSITEM_EXPORT Bundle {
public:
    enum ValueType : int32_t {
        TYPE_NONE = -1,
        TYPE_BOOL = 0,
        TYPE_INT32 = 1,
        TYPE_INT64 = 2,
        TYPE_DOUBLE = 3,
        TYPE_STRING = 4,
        TYPE_BUNDLE = 5,
        TYPE_BOOL_ARRAY = 6,
        TYPE_BYTE_ARRAY = 7,
        TYPE_WORD_ARRAY = 8,
        TYPE_INT_ARRAY = 9,
        TYPE_DOUBLE_ARRAY = 10,
        TYPE_STRING_ARRAY = 11,
        TYPE_BUNDLE_ARRAY = 12,
    };

    static constexpr int32_t BUNDLE_MAGIC = 0x4C444E42;

    class STATUSITEM_EXPORT HashNode {
    public:
        explicit HashNode(const char* key);
        // Frees both subtrees (left first) without recursing, then its own values.
        ~HashNode();
        HashNode(const HashNode&) = delete;
        HashNode& operator=(const HashNode&) = delete;

        std::string mKey;
        int32_t mType;
        // Little-endian scalar slot; each setter writes only its own member's bytes.
        union {
            bool mBool;
            int32_t mInt32;
            int64_t mInt64;
            double mDouble;
        } mValue;
        std::string mString;
        uint32_t mSize;
        void* mData;  // element storage of an array value, owned by the node
        android::Parcel mParcel;
        int32_t mHash;
        HashNode* mLeft;
        HashNode* mRight;
    };

    class STATUSITEM_EXPORT HashTree {
    public:
        HashTree();
        virtual ~HashTree();
        HashTree(const HashTree&) = delete;
        HashTree& operator=(const HashTree&) = delete;

        HashNode* getNode(const char* key, bool create);
        void serialize(android::Parcel* p, HashNode* node);
        void clear();

        void acquire() { mRefs.fetch_add(1, std::memory_order_seq_cst); }
        // Gives one reference back; the last one destroys the tree.
        void release() {
            if (mRefs.fetch_sub(1, std::memory_order_seq_cst) == 1) delete this;
        }

        HashNode* mRoot;
        int32_t mCount;
        std::atomic<int32_t> mRefs;
    };

    Bundle() : mTree(nullptr) {}
    explicit Bundle(HashTree* tree);
    Bundle(const Bundle& other);
    Bundle& operator=(const Bundle& other);
    virtual ~Bundle();

    explicit Bundle(android::Parcel* p);
    void toParcel(android::Parcel* p) const;
    static std::string readString(android::Parcel* p);

    HashTree* getTree();

    void set(const char* key, bool value);
    void set(const char* key, int value);
    void set(const char* key, long long value);
    void set(const char* key, double value);
    void set(const char* key, const char* value);
    void set(const char* key, const Bundle& value);
    void setArray(const char* key, unsigned int count, const bool* values);
    void setArray(const char* key, unsigned int count, const unsigned char* values);
    void setArray(const char* key, unsigned int count, const unsigned short* values);
    void setArray(const char* key, unsigned int count, const int* values);
    void setArray(const char* key, unsigned int count, const double* values);
    void setArray(const char* key, const std::vector<std::string>& values);
    void setArray(const char* key, const BundleArray& values);

    bool getBool(const char* key) const;
    int getInt32(const char* key) const;
    long long getInt64(const char* key) const;
    double getDouble(const char* key) const;
    std::string getString(const char* key) const;
    Bundle getBundle(const char* key) const;
    BundleArray getBundleArray(const char* key) const;
    bool getBoolArray(const char* key, std::vector<bool>& out) const;
    bool getByteArray(const char* key, std::vector<unsigned char>& out) const;
    bool getWordArray(const char* key, std::vector<unsigned short>& out) const;
    bool getIntArray(const char* key, std::vector<int>& out) const;
    bool getDoubleArray(const char* key, std::vector<double>& out) const;
    bool getStringArray(const char* key, std::vector<std::string>& out) const;

    // Java bridge of the class "com/quorvel/dovra/statusitem/Bundle".
    static jclass _clazz;
    static jfieldID _mNativePtr;
    static const JNINativeMethod _Methods[30];

    static void jniInit(JNIEnv* env);
    jobject getJBundle(JNIEnv* env);

    static jlong nativeCreateBundle(JNIEnv* env, jclass clazz);
    static void nativeFree(JNIEnv* env, jclass clazz, jlong handle);
    static jlong nativeFromParcel(JNIEnv* env, jclass clazz, jobject parcel);
    static void nativeToParcel(JNIEnv* env, jclass clazz, jlong handle, jobject parcel);

    static void nativePutBoolean(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                 jboolean value);
    static void nativePutInt(JNIEnv* env, jclass clazz, jlong handle, jstring key, jint value);
    static void nativePutLong(JNIEnv* env, jclass clazz, jlong handle, jstring key, jlong value);
    static void nativePutDouble(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                jdouble value);
    static void nativePutString(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                jstring value);
    static void nativePutBundle(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                jlong valueHandle);
    static void nativePutBooleanArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                      jbooleanArray array);
    static void nativePutByteArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                   jbyteArray array);
    static void nativePutShortArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                    jshortArray array);
    static void nativePutIntArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                  jintArray array);
    static void nativePutDoubleArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                     jdoubleArray array);
    static void nativePutStringArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                     jobjectArray array);
    static void nativePutBundleArray(JNIEnv* env, jclass clazz, jlong handle, jstring key,
                                     jobjectArray array);

    static jboolean nativeGetBoolean(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jint nativeGetInt(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jlong nativeGetLong(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jdouble nativeGetDouble(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jbyteArray nativeGetString(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jlong nativeGetBundle(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jbooleanArray nativeGetBooleanArray(JNIEnv* env, jclass clazz, jlong handle,
                                               jstring key);
    static jbyteArray nativeGetByteArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jshortArray nativeGetShortArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jintArray nativeGetIntArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jdoubleArray nativeGetDoubleArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jobjectArray nativeGetStringArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);
    static jlongArray nativeGetBundleArray(JNIEnv* env, jclass clazz, jlong handle, jstring key);

    HashTree* mTree;
};

}  // namespace status

// The VM that loaded the library; null before JNI_OnLoad.
STATUSITEM_EXPORT JavaVM* getJVM();
