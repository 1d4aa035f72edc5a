#include "inspect/Encoder.h"

#include <stdint.h>
#include <string.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "inspect/ItemWriter.h"
#include "statusitem/Item.h"

namespace inspect {

namespace {

using status::Bundle;
using status::BundleArray;

// Deeper documents are refused rather than recursed into.
constexpr int kMaxNesting = 64;

struct Refused : std::runtime_error {
    Refused(const std::string& where, const std::string& why)
        : std::runtime_error(where + ": " + why) {}
};

const Json& field(const Json& j, const char* name, const std::string& where) {
    if (!j.is_object()) throw Refused(where, "expected an object");
    const auto found = j.find(name);
    if (found == j.end()) throw Refused(where, std::string("missing \"") + name + "\"");
    return *found;
}

std::string text(const Json& j, const std::string& where) {
    if (j.is_string()) return j.get<std::string>();
    Bytes bytes;
    if (j.is_object() && j.size() == 1 && j.contains("hex") && j["hex"].is_string() &&
        fromHex(j["hex"].get<std::string>(), bytes)) {
        return std::string(bytes.begin(), bytes.end());
    }
    throw Refused(where, "expected a string or {\"hex\": digits}");
}

// Keys and texts of a bundle end at their first NUL.
std::string bundleText(const Json& j, const std::string& where) {
    std::string s = text(j, where);
    if (s.find('\0') != std::string::npos) throw Refused(where, "a bundle text holds a NUL");
    return s;
}

int64_t integer(const Json& j, int64_t min, int64_t max, const std::string& where) {
    bool fits = false;
    int64_t value = 0;
    if (j.is_number_unsigned()) {
        const uint64_t u = j.get<uint64_t>();
        fits = u <= static_cast<uint64_t>(max);
        value = static_cast<int64_t>(u);
    } else if (j.is_number_integer()) {
        value = j.get<int64_t>();
        fits = value >= min && value <= max;
    }
    if (!fits)
        throw Refused(where, format("expected an integer from %lld to %lld",
                                    static_cast<long long>(min), static_cast<long long>(max)));
    return value;
}

double number(const Json& j, const std::string& where) {
    if (j.is_number()) return j.get<double>();
    Bytes bits;
    if (j.is_object() && j.size() == 1 && j.contains("bits") && j["bits"].is_string() &&
        fromHex(j["bits"].get<std::string>(), bits) && bits.size() == 8) {
        uint64_t word = 0;
        for (uint8_t b : bits) word = word << 8 | b;
        double value;
        memcpy(&value, &word, sizeof value);
        return value;
    }
    throw Refused(where, "expected a number or {\"bits\": 16 hex digits}");
}

bool boolean(const Json& j, const std::string& where) {
    if (!j.is_boolean()) throw Refused(where, "expected true or false");
    return j.get<bool>();
}

const Json& list(const Json& j, const std::string& where) {
    if (!j.is_array()) throw Refused(where, "expected an array");
    return j;
}

template <class T, class Read>
std::vector<T> elements(const Json& j, const std::string& where, Read read) {
    std::vector<T> out;
    const Json& values = list(j, where);
    for (size_t i = 0; i < values.size(); ++i) {
        out.push_back(read(values[i], where + format("[%zu]", i)));
    }
    return out;
}

Bundle buildBundle(const Json& j, const std::string& where, int depth);

BundleArray buildArray(const Json& j, const std::string& where, int depth) {
    if (depth > kMaxNesting) throw Refused(where, "nested too deeply");
    BundleArray a;
    const Json& bundles = list(field(j, "bundles", where), where + ".bundles");
    for (size_t i = 0; i < bundles.size(); ++i) {
        a.mBundles.push_back(buildBundle(bundles[i], where + format(".bundles[%zu]", i), depth));
    }
    return a;
}

// Stored bytes go in as they are, as the decoder keeps them.
void setStored(Bundle& b, const std::string& key, int32_t kind, const Bytes& bytes) {
    Bundle::HashNode* node = b.getTree()->getNode(key.c_str(), true);
    node->mType = kind;
    node->mParcel.freeData();
    if (!bytes.empty()) {
        android::Parcel source;
        source.setData(bytes.data(), bytes.size());
        node->mParcel.appendFrom(&source, 0, bytes.size());
    }
    node->mParcel.setDataPosition(0);
}

void setNested(Bundle& b, const std::string& key, int32_t kind, const Json& e,
               const std::string& where, int depth) {
    if (e.contains("bytes")) {
        Bytes bytes;
        const Json& hex = e["bytes"];
        if (!hex.is_string() || !fromHex(hex.get<std::string>(), bytes)) {
            throw Refused(where + ".bytes", "expected hex digits");
        }
        setStored(b, key, kind, bytes);
    } else if (kind == Bundle::TYPE_BUNDLE) {
        b.set(key.c_str(), buildBundle(field(e, "value", where), where + ".value", depth + 1));
    } else {
        b.setArray(key.c_str(), buildArray(field(e, "value", where), where + ".value", depth + 1));
    }
}

void setEntry(Bundle& b, const Json& e, const std::string& where, int depth) {
    const std::string key = bundleText(field(e, "key", where), where + ".key");
    const char* k = key.c_str();
    const Json& kindJson = field(e, "kind", where);
    if (kindJson.is_number()) {
        const int32_t tag =
            static_cast<int32_t>(integer(kindJson, INT32_MIN, INT32_MAX, where + ".kind"));
        if (bundleKindName(tag) != nullptr) throw Refused(where + ".kind", "use the kind's name");
        b.getTree()->getNode(k, true)->mType = tag;  // written without a value
        return;
    }
    const int32_t tag = kindJson.is_string() ? bundleKindTag(kindJson.get<std::string>()) : -1;
    if (tag < 0) throw Refused(where + ".kind", "unknown kind");
    if (tag == Bundle::TYPE_BUNDLE || tag == Bundle::TYPE_BUNDLE_ARRAY) {
        setNested(b, key, tag, e, where, depth);
        return;
    }
    const Json& v = field(e, "value", where);
    const std::string at = where + ".value";
    switch (tag) {
        case Bundle::TYPE_BOOL:
            b.set(k, boolean(v, at));
            break;
        case Bundle::TYPE_INT32:
            b.set(k, static_cast<int>(integer(v, INT32_MIN, INT32_MAX, at)));
            break;
        case Bundle::TYPE_INT64:
            b.set(k, static_cast<long long>(integer(v, INT64_MIN, INT64_MAX, at)));
            break;
        case Bundle::TYPE_DOUBLE:
            b.set(k, number(v, at));
            break;
        case Bundle::TYPE_STRING:
            b.set(k, bundleText(v, at).c_str());
            break;
        case Bundle::TYPE_BOOL_ARRAY: {
            const std::vector<char> values = elements<char>(v, at, boolean);
            std::unique_ptr<bool[]> flags(new bool[values.size() + 1]);
            for (size_t i = 0; i < values.size(); ++i) flags[i] = values[i] != 0;
            b.setArray(k, static_cast<unsigned>(values.size()), flags.get());
            break;
        }
        case Bundle::TYPE_BYTE_ARRAY: {
            // A block that was missing is written as the library writes it: empty.
            Bytes bytes;
            if (!v.is_null() && (!v.is_string() || !fromHex(v.get<std::string>(), bytes))) {
                throw Refused(at, "expected hex digits or null");
            }
            b.setArray(k, static_cast<unsigned>(bytes.size()), bytes.data());
            break;
        }
        case Bundle::TYPE_WORD_ARRAY: {
            const auto words =
                elements<unsigned short>(v, at, [](const Json& x, const std::string& w) {
                    return static_cast<unsigned short>(integer(x, 0, UINT16_MAX, w));
                });
            b.setArray(k, static_cast<unsigned>(words.size()), words.data());
            break;
        }
        case Bundle::TYPE_INT_ARRAY: {
            const auto ints = elements<int>(v, at, [](const Json& x, const std::string& w) {
                return static_cast<int>(integer(x, INT32_MIN, INT32_MAX, w));
            });
            b.setArray(k, static_cast<unsigned>(ints.size()), ints.data());
            break;
        }
        case Bundle::TYPE_DOUBLE_ARRAY: {
            const auto doubles = elements<double>(v, at, number);
            b.setArray(k, static_cast<unsigned>(doubles.size()), doubles.data());
            break;
        }
        case Bundle::TYPE_STRING_ARRAY:
            b.setArray(k, elements<std::string>(v, at, bundleText));
            break;
    }
}

// The encoder writes equal hashes newest first: creating the entries from the last to
// the first gives them back in the listed order.
Bundle buildBundle(const Json& j, const std::string& where, int depth) {
    if (depth > kMaxNesting) throw Refused(where, "nested too deeply");
    Bundle b;
    const Json& entries = list(field(j, "entries", where), where + ".entries");
    for (size_t i = entries.size(); i-- > 0;) {
        setEntry(b, entries[i], where + format(".entries[%zu]", i), depth);
    }
    return b;
}

void writeItemJson(android::Parcel* p, const Json& j, const std::string& where) {
    status::Item item;
    item.mKey = text(field(j, "key", where), where + ".key");
    const Json& typeJson = field(j, "type", where);
    item.mType = typeJson.is_string()
                     ? itemTypeCode(typeJson.get<std::string>())
                     : static_cast<int32_t>(integer(typeJson, INT32_MIN, INT32_MAX, where));
    const std::string at = where + ".value";
    switch (item.mType) {
        case status::Item::ITEM_BOOL:
            item.mValue.mBool = boolean(field(j, "value", where), at);
            break;
        case status::Item::ITEM_LONG:
            item.mValue.mInt64 = integer(field(j, "value", where), INT64_MIN, INT64_MAX, at);
            break;
        case status::Item::ITEM_DOUBLE:
            item.mValue.mDouble = number(field(j, "value", where), at);
            break;
        case status::Item::ITEM_STRING:
            item.mString = text(field(j, "value", where), at);
            break;
        case status::Item::ITEM_BUNDLE:
            item.mBundle = buildBundle(field(j, "value", where), at, 0);
            break;
        default:  // an unknown code is written alone, as the decoder met it
            if (typeJson.is_string()) throw Refused(where + ".type", "unknown type");
    }
    writeItem(p, item);
}

}  // namespace

bool encode(const Json& doc, Bytes& out, std::string& error) {
    try {
        const Json& kindJson = field(doc, "kind", "document");
        Kind kind;
        if (!kindJson.is_string() || !kindFromName(kindJson.get<std::string>(), kind)) {
            throw Refused("kind", "expected \"bundle\", \"array\" or \"item\"");
        }
        const char* name = kindName(kind);
        const Json& value = field(doc, name, "document");
        android::Parcel p;
        if (kind == Kind::Bundle) {
            buildBundle(value, name, 0).toParcel(&p);
        } else if (kind == Kind::Array) {
            buildArray(value, name, 0).toParcel(&p);
        } else {
            writeItemJson(&p, value, name);
        }
        out.assign(p.data(), p.data() + p.dataSize());
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace inspect
