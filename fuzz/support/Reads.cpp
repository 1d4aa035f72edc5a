#include "support/Reads.h"

#include <string.h>

#include "bundle/BundleArray.h"

namespace fuzz {

namespace {

using status::Bundle;

// Appends values with their sizes, so that different reads never print alike.
class Text {
public:
    template <class T>
    Text& raw(const T& value) {
        out_.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    Text& bytes(const void* data, size_t size) {
        raw(size);
        if (size != 0) out_.append(static_cast<const char*>(data), size);
        return *this;
    }
    Text& str(const std::string& s) { return bytes(s.data(), s.size()); }
    template <class T>
    Text& elements(bool found, const std::vector<T>& values) {
        raw(found).raw(values.size());
        for (const T& v : values) raw(v);
        return *this;
    }
    Text& elements(bool found, const std::vector<bool>& values) {
        raw(found).raw(values.size());
        for (bool v : values) raw(v);
        return *this;
    }
    Text& elements(bool found, const std::vector<std::string>& values) {
        raw(found).raw(values.size());
        for (const std::string& v : values) str(v);
        return *this;
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void typedValue(Text& t, const Bundle& b, const Bundle::HashNode& node) {
    const char* key = node.mKey.c_str();
    switch (node.mType) {
        case Bundle::TYPE_BOOL:
            t.raw(b.getBool(key));
            break;
        case Bundle::TYPE_INT32:
            t.raw(b.getInt32(key));
            break;
        case Bundle::TYPE_INT64:
            t.raw(b.getInt64(key));
            break;
        case Bundle::TYPE_DOUBLE:
            t.raw(b.getDouble(key));  // bit for bit: NaN payloads must survive too
            break;
        case Bundle::TYPE_STRING:
            t.str(b.getString(key));
            break;
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY:
            t.bytes(node.mParcel.data(), node.mParcel.dataSize());
            break;
        case Bundle::TYPE_BOOL_ARRAY: {
            std::vector<bool> v;
            const bool found = b.getBoolArray(key, v);
            t.elements(found, v);
            break;
        }
        case Bundle::TYPE_BYTE_ARRAY: {
            std::vector<unsigned char> v;
            const bool found = b.getByteArray(key, v);
            t.elements(found, v);
            break;
        }
        case Bundle::TYPE_WORD_ARRAY: {
            std::vector<unsigned short> v;
            const bool found = b.getWordArray(key, v);
            t.elements(found, v);
            break;
        }
        case Bundle::TYPE_INT_ARRAY: {
            std::vector<int> v;
            const bool found = b.getIntArray(key, v);
            t.elements(found, v);
            break;
        }
        case Bundle::TYPE_DOUBLE_ARRAY: {
            std::vector<double> v;
            const bool found = b.getDoubleArray(key, v);
            t.elements(found, v);
            break;
        }
        case Bundle::TYPE_STRING_ARRAY: {
            std::vector<std::string> v;
            const bool found = b.getStringArray(key, v);
            t.elements(found, v);
            break;
        }
        default:
            break;  // an unrecognised kind travels without a value
    }
}

}  // namespace

bool isRecognisedKind(int32_t kind) {
    return static_cast<uint32_t>(kind) <= static_cast<uint32_t>(Bundle::TYPE_BUNDLE_ARRAY);
}

View typedView(const Bundle& b) {
    View view;
    for (const Bundle::HashNode* node : nodesInOrder(b)) {
        Text t;
        t.raw(node->mType);
        typedValue(t, b, *node);
        view[node->mKey] = t.take();
    }
    return view;
}

void readPlainGetters(const Bundle& b, const char* key) {
    b.getBool(key);
    b.getInt32(key);
    b.getInt64(key);
    b.getDouble(key);
    b.getString(key);
    std::vector<bool> bools;
    b.getBoolArray(key, bools);
    std::vector<unsigned char> bytes;
    b.getByteArray(key, bytes);
    std::vector<unsigned short> words;
    b.getWordArray(key, words);
    std::vector<int> ints;
    b.getIntArray(key, ints);
    std::vector<double> doubles;
    b.getDoubleArray(key, doubles);
    std::vector<std::string> strings;
    b.getStringArray(key, strings);
}

}  // namespace fuzz
