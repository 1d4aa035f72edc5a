#include "inspect/Describe.h"

#include <string.h>

#include <algorithm>
#include <map>
#include <memory>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "inspect/ItemWriter.h"
#include "inspect/LogLines.h"
#include "inspect/NodeOrder.h"
#include "inspect/Walk.h"
#include "statusitem/Item.h"

namespace inspect {

namespace {

using android::Parcel;
using status::Bundle;
using status::BundleArray;

constexpr int32_t kBundleClassNameUnits = 35;

template <class T>
Bytes encoded(const T& value) {
    Parcel p;
    value.toParcel(&p);
    return p.data() == nullptr ? Bytes() : Bytes(p.data(), p.data() + p.dataSize());
}

// The library's lines go to the problems it logs for, in the order they occur.
void attach(const std::vector<Problem*>& problems, std::vector<std::string> lines,
            std::vector<Problem>& extra) {
    size_t next = 0;
    for (Problem* problem : problems) {
        if (problem->logs && next < lines.size()) problem->log.push_back(lines[next++]);
    }
    if (next == lines.size()) return;
    Problem unmatched;
    unmatched.reason = "log lines that match no problem of the walk";
    unmatched.ends = false;
    unmatched.log.assign(lines.begin() + static_cast<long>(next), lines.end());
    extra.push_back(std::move(unmatched));
}

// The walk and the library must agree on where decoding ended, or the offsets shown
// would not be those of the values shown.
void checkEnd(size_t walked, size_t decoded, std::vector<Problem>& problems) {
    if (walked == decoded) return;
    Problem mismatch;
    mismatch.offset = decoded;
    mismatch.reason =
        format("internal: the walk ended at %zu, the library at %zu", walked, decoded);
    problems.push_back(std::move(mismatch));
}

// Decodes with the library from the parcel's position, then walks the same bytes;
// the position ends where the library left it.
template <class Value, class Trace, Trace (*trace)(const Parcel&)>
void decode(const Parcel& p, std::unique_ptr<Value>& value, Trace& t,
            std::vector<Problem*> (*problemsOf)(Trace&)) {
    const size_t start = p.dataPosition();
    takeLogLines();
    try {
        value.reset(new Value(const_cast<Parcel*>(&p)));
    } catch (int) {
        // an item of an unknown type: no value, the walk says why
    }
    const size_t end = p.dataPosition();
    std::vector<std::string> lines = takeLogLines();
    p.setDataPosition(start);
    t = trace(p);
    std::vector<Problem> extra;
    attach(problemsOf(t), std::move(lines), extra);
    checkEnd(t.end, end, extra);
    for (Problem& problem : extra) t.problems.push_back(std::move(problem));
    p.setDataPosition(end);
}

std::vector<Problem*> pointers(std::vector<Problem>& problems) {
    std::vector<Problem*> out;
    for (Problem& problem : problems) out.push_back(&problem);
    return out;
}

std::vector<Problem*> bundleProblems(BundleTrace& t) {
    return pointers(t.problems);
}

std::vector<Problem*> arrayProblems(ArrayTrace& t) {
    std::vector<Problem*> out;
    for (BundleTrace& element : t.elements) {
        for (Problem* problem : pointers(element.problems)) out.push_back(problem);
    }
    for (Problem* problem : pointers(t.problems)) out.push_back(problem);
    return out;
}

std::vector<Problem*> itemProblems(ItemTrace& t) {
    std::vector<Problem*> out = pointers(t.problems);
    for (Problem* problem : pointers(t.bundle.problems)) out.push_back(problem);
    return out;
}

template <class T, class Convert>
Json elementsJson(bool found, const std::vector<T>& values, Convert convert) {
    Json out = Json::array();
    if (found) {
        for (const T& v : values) out.push_back(convert(v));
    }
    return out;
}

Json plain(long long v) {
    return v;
}

// Where a value lies: its offset base in the input and the path of keys to it.
struct Place {
    size_t base;
    std::string path;
};

class Describer {
public:
    Json bundle(const Bundle& b, const BundleTrace& t, const Place& at, int depth);
    Json array(const BundleArray& a, const ArrayTrace& t, const Place& at, int depth);
    Json item(const status::Item* item, const ItemTrace& t, int depth);
    Json takeProblems() { return std::move(mProblems); }

private:
    Json entry(const Bundle& b, const Bundle::HashNode& node,
               const std::vector<const EntryTrace*>& seen, const Place& at, int depth);
    void stored(const Bundle::HashNode& node, const Place& at, int depth, Json& j);
    void add(const std::vector<Problem>& problems, const Place& at);

    Json mProblems = Json::array();
};

void Describer::add(const std::vector<Problem>& problems, const Place& at) {
    for (const Problem& problem : problems) {
        std::string entry = at.path + problem.entry;
        if (!entry.empty() && entry.back() == '/') entry.pop_back();
        Json j;
        j["offset"] = at.base + problem.offset;
        j["entry"] = textJson(entry);
        j["reason"] = problem.reason;
        j["stops"] = problem.ends;
        if (!problem.log.empty()) j["log"] = problem.log;
        mProblems.push_back(std::move(j));
    }
}

Json Describer::bundle(const Bundle& b, const BundleTrace& t, const Place& at, int depth) {
    std::map<std::string, std::vector<const EntryTrace*>> byKey;
    for (const EntryTrace& e : t.entries) byKey[e.key].push_back(&e);
    Json j;
    j["offset"] = at.base + t.start;
    j["size"] = t.end - t.start;
    j["entries"] = Json::array();
    for (const Bundle::HashNode* node : nodesInOrder(b)) {
        j["entries"].push_back(entry(b, *node, byKey[node->mKey], at, depth));
    }
    add(t.problems, at);
    return j;
}

Json Describer::array(const BundleArray& a, const ArrayTrace& t, const Place& at, int depth) {
    Json j;
    j["offset"] = at.base + t.start;
    j["size"] = t.end - t.start;
    j["bundles"] = Json::array();
    // Both stop at the same class name when they end at the same byte.
    for (size_t i = 0; i < a.mBundles.size() && i < t.elements.size(); ++i) {
        const Place element{at.base, at.path + format("[%zu]/", i)};
        j["bundles"].push_back(bundle(a.mBundles[i], t.elements[i], element, depth));
    }
    add(t.problems, at);
    return j;
}

Json Describer::item(const status::Item* item, const ItemTrace& t, int depth) {
    Json j;
    j["offset"] = t.start;
    j["size"] = t.end - t.start;
    j["key"] = textJson(item != nullptr ? item->mKey : t.key);
    const char* name = itemTypeName(t.type);
    j["type"] = name != nullptr ? Json(name) : Json(t.type);
    if (item != nullptr) {
        switch (item->mType) {
            case status::Item::ITEM_BOOL:
                j["value"] = item->mValue.mBool;
                break;
            case status::Item::ITEM_LONG:
                j["value"] = item->mValue.mInt64;
                break;
            case status::Item::ITEM_DOUBLE:
                j["value"] = doubleJson(item->mValue.mDouble);
                break;
            case status::Item::ITEM_STRING:
                j["value"] = textJson(item->mString);
                break;
            case status::Item::ITEM_BUNDLE:
                j["value"] = bundle(item->mBundle, t.bundle, Place{0, item->mKey + "/"}, depth);
                break;
        }
    }
    add(t.problems, Place{0, ""});
    return j;
}

Json Describer::entry(const Bundle& b, const Bundle::HashNode& node,
                      const std::vector<const EntryTrace*>& seen, const Place& at, int depth) {
    // A repeated key holds the value of its last occurrence.
    const EntryTrace* e = seen.empty() ? nullptr : seen.back();
    Json j;
    j["offset"] = at.base + (e != nullptr ? e->offset : 0);
    if (seen.size() > 1) {
        Json earlier = Json::array();
        for (size_t i = 0; i + 1 < seen.size(); ++i) earlier.push_back(at.base + seen[i]->offset);
        j["replaces"] = earlier;
    }
    j["key"] = textJson(node.mKey);
    const char* name = bundleKindName(node.mType);
    if (name == nullptr) {
        j["kind"] = node.mType;
        return j;
    }
    j["kind"] = name;
    const char* key = node.mKey.c_str();
    switch (node.mType) {
        case Bundle::TYPE_BOOL:
            j["value"] = b.getBool(key);
            break;
        case Bundle::TYPE_INT32:
            j["value"] = b.getInt32(key);
            break;
        case Bundle::TYPE_INT64:
            j["value"] = static_cast<int64_t>(b.getInt64(key));
            break;
        case Bundle::TYPE_DOUBLE:
            j["value"] = doubleJson(b.getDouble(key));
            break;
        case Bundle::TYPE_STRING:
            j["value"] = textJson(b.getString(key));
            break;
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY: {
            // The stored bytes follow their length word.
            const size_t offset = at.base + (e != nullptr ? e->valueOffset + 4 : 0);
            j["size"] = node.mParcel.dataSize();
            stored(node, Place{offset, at.path + node.mKey + "/"}, depth, j);
            break;
        }
        case Bundle::TYPE_BOOL_ARRAY: {
            std::vector<bool> v;
            const bool found = b.getBoolArray(key, v);
            j["value"] = elementsJson(found, v, [](bool x) { return Json(x); });
            break;
        }
        case Bundle::TYPE_BYTE_ARRAY: {
            std::vector<unsigned char> v;
            if (b.getByteArray(key, v)) {
                j["value"] = toHex(v.data(), v.size());
            } else if (node.mSize != 0) {
                j["value"] = nullptr;  // its block was missing
                j["count"] = node.mSize;
            } else {
                j["value"] = "";
            }
            break;
        }
        case Bundle::TYPE_WORD_ARRAY: {
            std::vector<unsigned short> v;
            const bool found = b.getWordArray(key, v);
            j["value"] = elementsJson(found, v, plain);
            break;
        }
        case Bundle::TYPE_INT_ARRAY: {
            std::vector<int> v;
            const bool found = b.getIntArray(key, v);
            j["value"] = elementsJson(found, v, plain);
            break;
        }
        case Bundle::TYPE_DOUBLE_ARRAY: {
            std::vector<double> v;
            const bool found = b.getDoubleArray(key, v);
            j["value"] = elementsJson(found, v, doubleJson);
            break;
        }
        case Bundle::TYPE_STRING_ARRAY: {
            std::vector<std::string> v;
            const bool found = b.getStringArray(key, v);
            j["value"] = elementsJson(found, v, textJson);
            break;
        }
    }
    return j;
}

// Decodes stored bytes as the getters would. The bytes themselves are kept whenever
// the decoded value alone would not give them back.
void Describer::stored(const Bundle::HashNode& node, const Place& at, int depth, Json& j) {
    const uint8_t* data = node.mParcel.data();
    const Bytes bytes = data == nullptr ? Bytes() : Bytes(data, data + node.mParcel.dataSize());
    bool same = false;
    if (depth <= 0 || bytes.empty()) {  // nothing stored: the entry never held a value
        j["value"] = nullptr;
    } else {
        Parcel p;
        p.setData(bytes.data(), bytes.size());
        if (node.mType == Bundle::TYPE_BUNDLE) {
            std::unique_ptr<Bundle> value;
            BundleTrace t;
            decode<Bundle, BundleTrace, traceBundle>(p, value, t, bundleProblems);
            j["value"] = bundle(*value, t, at, depth - 1);
            same = p.dataPosition() == bytes.size() && encoded(*value) == bytes;
        } else {
            std::unique_ptr<BundleArray> value;
            ArrayTrace t;
            decode<BundleArray, ArrayTrace, traceArray>(p, value, t, arrayProblems);
            j["value"] = array(*value, t, at, depth - 1);
            same = p.dataPosition() == bytes.size() && encoded(*value) == bytes;
        }
    }
    if (!same) j["bytes"] = toHex(bytes.data(), bytes.size());
}

}  // namespace

Guess guessKind(const Bytes& bytes) {
    int32_t words[2] = {0, 0};
    if (!bytes.empty()) {  // an empty vector's data() may be null, which memcpy must not get
        memcpy(words, bytes.data(), bytes.size() < sizeof words ? bytes.size() : sizeof words);
    }
    if (bytes.size() >= 4 && words[0] == Bundle::BUNDLE_MAGIC) {
        return {Kind::Bundle, "the first word is the bundle magic"};
    }
    if (bytes.size() == 4 && words[0] == 0) return {Kind::Array, "a count of 0 and nothing else"};
    if (words[0] > 0 && words[1] == kBundleClassNameUnits) {
        return {Kind::Array, "a count, then a text as long as the bundle class name"};
    }
    return {Kind::Item, "neither the bundle magic nor a bundle count"};
}

Json describe(const Bytes& bytes, Kind kind, int depth) {
    Parcel p;
    p.setData(bytes.data(), bytes.size());
    Describer describer;
    Json doc;
    doc["kind"] = kindName(kind);
    doc["size"] = bytes.size();
    bool same = false;
    if (kind == Kind::Bundle) {
        std::unique_ptr<Bundle> value;
        BundleTrace t;
        decode<Bundle, BundleTrace, traceBundle>(p, value, t, bundleProblems);
        doc["bundle"] = describer.bundle(*value, t, Place{0, ""}, depth);
        same = encoded(*value) == bytes;
    } else if (kind == Kind::Array) {
        std::unique_ptr<BundleArray> value;
        ArrayTrace t;
        decode<BundleArray, ArrayTrace, traceArray>(p, value, t, arrayProblems);
        doc["array"] = describer.array(*value, t, Place{0, ""}, depth);
        same = encoded(*value) == bytes;
    } else {
        std::unique_ptr<status::Item> value;
        ItemTrace t;
        decode<status::Item, ItemTrace, traceItem>(p, value, t, itemProblems);
        doc["item"] = describer.item(value.get(), t, depth);
        if (value != nullptr) {
            Parcel again;
            writeItem(&again, *value);
            same = Bytes(again.data(), again.data() + again.dataSize()) == bytes;
        }
    }
    Json problems = describer.takeProblems();
    std::stable_sort(problems.begin(), problems.end(), [](const Json& a, const Json& b) {
        return a["offset"].get<size_t>() < b["offset"].get<size_t>();
    });
    doc["problems"] = std::move(problems);
    const size_t end = p.dataPosition();
    if (end < bytes.size()) doc["trailing"] = Json{{"offset", end}, {"size", bytes.size() - end}};
    doc["exact"] = same && end == bytes.size();
    return doc;
}

}  // namespace inspect
