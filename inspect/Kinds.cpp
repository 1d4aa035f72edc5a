#include "inspect/Kinds.h"

#include <string.h>

#include <memory>
#include <vector>

#include "statusitem/Item.h"

namespace inspect {

using status::Bundle;
using Node = Bundle::HashNode;

namespace {

// nlohmann's exceptions name the path of their value; this borrows that, the one walk
// from a value up to its document.
struct PathOf : nlohmann::detail::exception {
    static std::string of(const Json& j) {
        const std::string path = diagnostics(&j);  // "(/a/0) ", or empty for the document
        return path.empty() ? "the document" : path.substr(1, path.size() - 3);
    }
};

}  // namespace

Refused::Refused(const Json& at, const std::string& why)
    : std::runtime_error(PathOf::of(at) + ": " + why) {}

const Json& field(const Json& j, const char* name) {
    if (!j.is_object()) throw Refused(j, "expected an object");
    const auto found = j.find(name);
    if (found == j.end()) throw Refused(j, std::string("missing \"") + name + "\"");
    return *found;
}

const Json& list(const Json& j) {
    if (!j.is_array()) throw Refused(j, "expected an array");
    return j;
}

std::string text(const Json& j) {
    if (j.is_string()) return j.get<std::string>();
    Bytes bytes;
    if (j.is_object() && j.size() == 1 && j.contains("hex") && j["hex"].is_string() &&
        fromHex(j["hex"].get<std::string>(), bytes)) {
        return std::string(bytes.begin(), bytes.end());
    }
    throw Refused(j, "expected a string or {\"hex\": digits}");
}

int64_t integer(const Json& j, int64_t min, int64_t max) {
    // nlohmann keeps non-negative integers unsigned, where they may exceed INT64_MAX.
    const bool fits = j.is_number_unsigned() ? j.get<uint64_t>() <= static_cast<uint64_t>(max)
                                             : j.is_number_integer() && j.get<int64_t>() >= min &&
                                                   j.get<int64_t>() <= max;
    if (!fits)
        throw Refused(j, format("expected an integer from %lld to %lld",
                                static_cast<long long>(min), static_cast<long long>(max)));
    return j.get<int64_t>();
}

std::string bundleText(const Json& j) {
    std::string s = text(j);
    if (s.find('\0') != std::string::npos) throw Refused(j, "a bundle text holds a NUL");
    return s;
}

namespace {

double number(const Json& j) {
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
    throw Refused(j, "expected a number or {\"bits\": 16 hex digits}");
}

bool boolean(const Json& j) {
    if (!j.is_boolean()) throw Refused(j, "expected true or false");
    return j.get<bool>();
}

// ---- element arrays: one row shape for the numbers, with the element's own rules

template <class T>
Json elementJson(const T& v) {
    return v;
}
Json elementJson(const double& v) {
    return doubleJson(v);
}
Json elementJson(const std::string& v) {
    return textJson(v);
}

template <class T, bool (Bundle::*get)(const char*, std::vector<T>&) const>
Json elementsJson(const Bundle& b, const Node& n) {
    std::vector<T> values;
    Json out = Json::array();
    if ((b.*get)(n.mKey.c_str(), values)) {
        for (const auto& v : values) out.push_back(elementJson(v));
    }
    return out;
}

template <class T, T (*fromElement)(const Json&)>
void elementsFrom(Bundle& b, const char* key, const Json& v) {
    const Json& values = list(v);
    std::unique_ptr<T[]> data(new T[values.size() + 1]);
    for (size_t i = 0; i < values.size(); ++i) {
        data[i] = fromElement(values[i]);
    }
    b.setArray(key, static_cast<unsigned>(values.size()), data.get());
}

template <class T, bool (Bundle::*get)(const char*, std::vector<T>&) const,
          T (*fromElement)(const Json&)>
constexpr KindRow numbers(int32_t tag, const char* name) {
    return {tag, name, TextForm::kElements, elementsJson<T, get>, elementsFrom<T, fromElement>};
}
void stringsFrom(Bundle& b, const char* key, const Json& v) {
    std::vector<std::string> out;
    const Json& values = list(v);
    for (size_t i = 0; i < values.size(); ++i) {
        out.push_back(bundleText(values[i]));
    }
    b.setArray(key, out);
}

// A byte array whose block was missing shows as null, with its count beside it.
Json bytesJson(const Bundle& b, const Node& n) {
    std::vector<unsigned char> v;
    if (b.getByteArray(n.mKey.c_str(), v)) return toHex(v.data(), v.size());
    return n.mSize != 0 ? Json(nullptr) : Json("");
}
// A block that was missing is written as the library writes it: empty.
void bytesFrom(Bundle& b, const char* key, const Json& v) {
    Bytes bytes;
    if (!v.is_null() && (!v.is_string() || !fromHex(v.get<std::string>(), bytes))) {
        throw Refused(v, "expected hex digits or null");
    }
    b.setArray(key, static_cast<unsigned>(bytes.size()), bytes.data());
}

constexpr KindRow kKinds[] = {
    {Bundle::TYPE_BOOL, "bool", TextForm::kScalar,
     [](const Bundle& b, const Node& n) { return Json(b.getBool(n.mKey.c_str())); },
     [](Bundle& b, const char* key, const Json& v) { b.set(key, boolean(v)); }},
    {Bundle::TYPE_INT32, "int32", TextForm::kScalar,
     [](const Bundle& b, const Node& n) { return Json(b.getInt32(n.mKey.c_str())); },
     [](Bundle& b, const char* key, const Json& v) { b.set(key, integral<int>(v)); }},
    {Bundle::TYPE_INT64, "int64", TextForm::kScalar,
     [](const Bundle& b, const Node& n) {
         return Json(static_cast<int64_t>(b.getInt64(n.mKey.c_str())));
     },
     [](Bundle& b, const char* key, const Json& v) { b.set(key, integral<long long>(v)); }},
    {Bundle::TYPE_DOUBLE, "double", TextForm::kScalar,
     [](const Bundle& b, const Node& n) { return doubleJson(b.getDouble(n.mKey.c_str())); },
     [](Bundle& b, const char* key, const Json& v) { b.set(key, number(v)); }},
    {Bundle::TYPE_STRING, "string", TextForm::kScalar,
     [](const Bundle& b, const Node& n) { return textJson(b.getString(n.mKey.c_str())); },
     [](Bundle& b, const char* key, const Json& v) { b.set(key, bundleText(v).c_str()); }},
    {Bundle::TYPE_BUNDLE, "bundle", TextForm::kNested, nullptr, nullptr},
    numbers<bool, &Bundle::getBoolArray, boolean>(Bundle::TYPE_BOOL_ARRAY, "bool[]"),
    {Bundle::TYPE_BYTE_ARRAY, "byte[]", TextForm::kBytes, bytesJson, bytesFrom},
    numbers<unsigned short, &Bundle::getWordArray, integral>(Bundle::TYPE_WORD_ARRAY, "word[]"),
    numbers<int, &Bundle::getIntArray, integral>(Bundle::TYPE_INT_ARRAY, "int[]"),
    numbers<double, &Bundle::getDoubleArray, number>(Bundle::TYPE_DOUBLE_ARRAY, "double[]"),
    {Bundle::TYPE_STRING_ARRAY, "string[]", TextForm::kElements,
     elementsJson<std::string, &Bundle::getStringArray>, stringsFrom},
    {Bundle::TYPE_BUNDLE_ARRAY, "bundle[]", TextForm::kNested, nullptr, nullptr},
};
constexpr int32_t kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);
constexpr bool rowsByTag() {
    for (int32_t i = 0; i < kKindCount; ++i) {
        if (kKinds[i].tag != i) return false;
    }
    return kKindCount == Bundle::TYPE_BUNDLE_ARRAY + 1;
}
static_assert(rowsByTag(), "one row per kind, in tag order");

using status::Item;

constexpr ItemRow kItemTypes[] = {
    {"bool", [](const Item& i) { return Json(i.mValue.mBool); },
     [](Item& i, const Json& v) { i.mValue.mBool = boolean(v); }},
    {"long", [](const Item& i) { return Json(i.mValue.mInt64); },
     [](Item& i, const Json& v) { i.mValue.mInt64 = integral<int64_t>(v); }},
    {"double", [](const Item& i) { return doubleJson(i.mValue.mDouble); },
     [](Item& i, const Json& v) { i.mValue.mDouble = number(v); }},
    {"string", [](const Item& i) { return textJson(i.mString); },
     [](Item& i, const Json& v) { i.mString = text(v); }},
    {"bundle", nullptr, nullptr},
};
static_assert(sizeof(kItemTypes) / sizeof(kItemTypes[0]) == Item::ITEM_BUNDLE + 1,
              "one row per item type, in code order");

}  // namespace

const KindRow* kindRow(int32_t tag) {
    return tag >= 0 && tag < kKindCount ? &kKinds[tag] : nullptr;
}

const KindRow* kindRow(const std::string& name) {
    for (const KindRow& row : kKinds) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

const ItemRow* itemRow(int32_t code) {
    return code >= 0 && code <= Item::ITEM_BUNDLE ? &kItemTypes[code] : nullptr;
}

int32_t itemCode(const std::string& name) {
    for (int32_t code = 0; code <= Item::ITEM_BUNDLE; ++code) {
        if (name == kItemTypes[code].name) return code;
    }
    return -1;
}

}  // namespace inspect
