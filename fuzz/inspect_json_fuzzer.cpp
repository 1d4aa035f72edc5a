// bundle-inspect's JSON of a bundle against the library's getters: every entry in the
// encoder's order with its key, kind and value as the getters read them, nested values
// as getBundle and getBundleArray give them, and a document that prints and parses back.

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <cmath>

#include <string>
#include <vector>

#include "bundle/BundleArray.h"
#include "inspect/Inspect.h"
#include "support/Parcels.h"

namespace {

using inspect::Json;
using status::Bundle;
using Node = Bundle::HashNode;

std::string unhex(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        out += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    }
    return out;
}

// Text is a JSON string when it prints as one, else its bytes in hex.
void expectText(const Json& j, const std::string& text) {
    bool printable = true;
    try {
        (void)Json(text).dump();
    } catch (const Json::exception&) {
        printable = false;
    }
    if (printable) return fuzz::expect(j.is_string() && j.get<std::string>() == text, "text");
    fuzz::expect(j.is_object() && unhex(j.at("hex").get<std::string>()) == text, "hex text");
}

void expectDouble(const Json& j, double value) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    if (j.is_number()) {
        const double got = j.get<double>();
        return fuzz::expect(memcmp(&got, &value, sizeof got) == 0, "double");
    }
    fuzz::expect(
        std::stoull(j.at("bits").get<std::string>(), nullptr, 16) == bits && !std::isfinite(value),
        "double bits");
}

template <class T, class Check>
void expectElements(const Json& j, bool found, const std::vector<T>& values, Check check) {
    fuzz::expect(j.is_array() && j.size() == (found ? values.size() : 0), "element count");
    for (size_t i = 0; found && i < values.size(); ++i) check(j[i], values[i]);
}

void expectBundle(const Json& j, const Bundle& b, int depth);

void expectEntry(const Json& j, const Bundle& b, const Node& node, int depth) {
    static const char* const kNames[] = {"bool",     "int32",    "int64",   "double", "string",
                                         "bundle",   "bool[]",   "byte[]",  "word[]", "int[]",
                                         "double[]", "string[]", "bundle[]"};
    expectText(j.at("key"), node.mKey);
    const char* key = node.mKey.c_str();
    if (static_cast<uint32_t>(node.mType) > Bundle::TYPE_BUNDLE_ARRAY) {
        return fuzz::expect(j.at("kind") == node.mType, "unknown kind");
    }
    fuzz::expect(j.at("kind") == kNames[node.mType], "kind");
    const Json& v = j.at("value");
    const auto plain = [](const Json& e, long long x) { fuzz::expect(e == x, "element"); };
    switch (node.mType) {
        case Bundle::TYPE_BOOL:
            return fuzz::expect(v == b.getBool(key), "boolean");
        case Bundle::TYPE_INT32:
            return fuzz::expect(v == b.getInt32(key), "int");
        case Bundle::TYPE_INT64:
            return fuzz::expect(v == b.getInt64(key), "long");
        case Bundle::TYPE_DOUBLE:
            return expectDouble(v, b.getDouble(key));
        case Bundle::TYPE_STRING:
            return expectText(v, b.getString(key));
        case Bundle::TYPE_BOOL_ARRAY: {
            std::vector<bool> out;
            const bool found = b.getBoolArray(key, out);
            return expectElements(v, found, out,
                                  [](const Json& e, bool x) { fuzz::expect(e == x, "bool"); });
        }
        case Bundle::TYPE_BYTE_ARRAY: {
            std::vector<unsigned char> out;
            if (b.getByteArray(key, out)) {
                return fuzz::expect(
                    unhex(v.get<std::string>()) == std::string(out.begin(), out.end()), "bytes");
            }
            return fuzz::expect(
                node.mSize == 0 ? v == "" : v.is_null() && j.at("count") == node.mSize,
                "absent bytes");
        }
        case Bundle::TYPE_WORD_ARRAY: {
            std::vector<unsigned short> out;
            const bool found = b.getWordArray(key, out);
            return expectElements(v, found, out, plain);
        }
        case Bundle::TYPE_INT_ARRAY: {
            std::vector<int> out;
            const bool found = b.getIntArray(key, out);
            return expectElements(v, found, out, plain);
        }
        case Bundle::TYPE_DOUBLE_ARRAY: {
            std::vector<double> out;
            const bool found = b.getDoubleArray(key, out);
            return expectElements(v, found, out, expectDouble);
        }
        case Bundle::TYPE_STRING_ARRAY: {
            std::vector<std::string> out;
            const bool found = b.getStringArray(key, out);
            return expectElements(v, found, out, expectText);
        }
    }
    // Nested values: decoded as the getters decode them, with their stored bytes
    // wherever those would not come back from the decoded value.
    const std::string stored(reinterpret_cast<const char*>(node.mParcel.data()),
                             node.mParcel.dataSize());
    fuzz::expect(j.at("size") == stored.size(), "nested size");
    if (j.contains("bytes"))
        fuzz::expect(unhex(j["bytes"].get<std::string>()) == stored, "stored bytes");
    if (v.is_null()) return fuzz::expect(depth <= 0 || stored.empty(), "nested value left out");
    if (node.mType == Bundle::TYPE_BUNDLE) return expectBundle(v, b.getBundle(key), depth - 1);
    const status::BundleArray array = b.getBundleArray(key);
    fuzz::expect(v.at("bundles").size() == array.mBundles.size(), "array length");
    for (size_t i = 0; i < array.mBundles.size(); ++i) {
        expectBundle(v["bundles"][i], array.mBundles[i], depth - 1);
    }
}

// The entries in the encoder's order: hash ascending, the newest first among equals.
void expectBundle(const Json& j, const Bundle& b, int depth) {
    const Json& entries = j.at("entries");
    fuzz::expect(entries.size() == (b.mTree == nullptr ? 0u : static_cast<size_t>(b.mTree->mCount)),
                 "entry count");
    std::vector<const Node*> pending;
    size_t i = 0;
    for (const Node* n = b.mTree == nullptr ? nullptr : b.mTree->mRoot;
         n != nullptr || !pending.empty(); n = n->mRight) {
        for (; n != nullptr; n = n->mLeft) pending.push_back(n);
        n = pending.back();
        pending.pop_back();
        expectEntry(entries.at(i++), b, *n, depth);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int kDepth = 3;
    const inspect::Bytes bytes(data, data + size);
    const Json doc = inspect::describe(bytes, inspect::Kind::Bundle, kDepth);
    android::Parcel p;
    fuzz::load(p, data, size);
    const Bundle decoded(&p);
    try {
        fuzz::expect(Json::parse(doc.dump()) == doc, "the document parses back as printed");
    } catch (const Json::exception&) {
        fuzz::fail("the document prints as JSON");
    }
    expectBundle(doc.at("bundle"), decoded, kDepth);
    return 0;
}
