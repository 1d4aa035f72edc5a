#include "inspect/Describe.h"

#include <string.h>

#include <algorithm>
#include <map>
#include <memory>
#include <type_traits>
#include <utility>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "bundle/DecodeObserver.h"
#include "bundle/InOrder.h"
#include "inspect/Kinds.h"
#include "inspect/LogLines.h"
#include "statusitem/Item.h"
#include "statusitem/ItemWriter.h"

namespace inspect {

namespace {

using android::Parcel;
using status::Bundle;
using status::BundleArray;
using status::DecodeProblem;

template <class T>
Bytes encoded(const T& value) {
    Parcel p;
    if constexpr (std::is_same<T, status::Item>::value) {
        writeItem(&p, value);  // the library only decodes items
    } else {
        value.toParcel(&p);
    }
    return p.data() == nullptr ? Bytes() : Bytes(p.data(), p.data() + p.dataSize());
}

struct Problem {
    size_t offset = 0;
    std::string entry;  // the key (or path) of the entry it concerns, if any
    std::string reason;
    bool stops = true;
    std::vector<std::string> log;
};

struct EntryAt {
    size_t offset;
    size_t valueOffset;
};

// What the library's decoder told of one bundle (or of an array or item, whose bundles
// are `inner`).
struct Trace {
    size_t start = 0;
    size_t end = 0;
    // Each node's entries in stream order: a repeated key's earlier ones come first.
    std::map<const Bundle::HashNode*, std::vector<EntryAt>> entries;
    std::vector<Problem> problems;
    std::vector<Trace> inner;
    std::string entry;  // the key being read: the entry's, or the item's
    int32_t itemType = 0;
};

// Whom a problem concerns: the bundle itself, the entry (or item) being read, a text
// (none when it is the key, which is not read yet), or an element of a bundle array.
enum class Of { kBundle, kEntry, kText, kElement };

// The reasons as the tool words them, one row per DecodeProblem in its order, and
// whether decoding stopped there. In the words, {u} and {d} stand for the value
// (unsigned, signed), {x} for it as a word in hex, {o} and {l} for the other number
// (unsigned, 64-bit), {r} for the text's role and {c} for the bundle class name.
const struct {
    Of of;
    bool stops;
    const char* words;
} kReasons[] = {
    {Of::kBundle, true, "bad magic identifier {x}"},
    {Of::kBundle, true, "the data ends before the count"},
    {Of::kBundle, true, "the count promises {u} entries; the data holds {o}"},
    {Of::kEntry, true, "unrecognised kind {d}"},
    {Of::kEntry, true, "stored length {d} exceeds the {l} bytes left"},
    {Of::kEntry, true, "array count {u} exceeds the {l} bytes left"},
    {Of::kEntry, false, "byte array of {u} bytes has no block; it reads as absent"},
    {Of::kEntry, false, "the data ends inside the value; read as 0"},
    {Of::kText, false, "the data ends before the {r}"},
    {Of::kText, false, "{r} length {d} exceeds the data; read as empty"},
    {Of::kText, false, "{r} lacks its zero terminator; read as empty"},
    {Of::kElement, true, "class name is not {c}"},
    {Of::kElement, true, "the count promises {u} bundles; the data holds {o}"},
    {Of::kEntry, false, "the data ends before the type; read as 0"},
    {Of::kEntry, true, "unknown value type {d}"},
};
static_assert(sizeof(kReasons) / sizeof(kReasons[0]) ==
                  static_cast<size_t>(DecodeProblem::kUnknownType) + 1,
              "one reason per problem");

std::string reasonText(const char* words, int64_t value, int64_t other) {
    static const char* const kRoles[] = {"key", "string", "string element"};
    const unsigned u = static_cast<unsigned>(value);
    const std::pair<const char*, std::string> fills[] = {
        {"{u}", format("%u", u)},
        {"{d}", format("%d", static_cast<int>(value))},
        {"{x}", format("%08X", u)},
        {"{o}", format("%u", static_cast<unsigned>(other))},
        {"{l}", format("%lld", static_cast<long long>(other))},
        {"{r}", kRoles[other >= 0 && other < 3 ? other : 2]},
        {"{c}", BundleArray::BUNDLE_CLASS_NAME},
    };
    std::string out = words;
    for (const auto& fill : fills) {
        const size_t at = out.find(fill.first);
        if (at != std::string::npos) out.replace(at, 3, fill.second);
    }
    return out;
}

// Files the decoder's reports under the bundle being read, each problem with the log
// lines written for it.
class Recorder : public status::DecodeObserver {
public:
    explicit Recorder(Trace& root) : mStack{&root} {}

    void entry(const Bundle::HashNode& node, size_t offset, size_t valueOffset) override {
        mStack.back()->entries[&node].push_back(EntryAt{offset, valueOffset});
        mStack.back()->entry = node.mKey;
    }
    void bundleStarts(size_t offset) override {
        mStack.back()->inner.emplace_back();
        mStack.push_back(&mStack.back()->inner.back());
        mStack.back()->start = offset;
    }
    void bundleEnds(size_t offset) override {
        mStack.back()->end = offset;
        if (mStack.size() > 1) mStack.pop_back();
    }
    void item(const std::string& key, size_t) override { mStack.back()->entry = key; }
    void problem(DecodeProblem what, size_t offset, int64_t value, int64_t other) override {
        Trace& t = *mStack.back();
        const auto& reason = kReasons[static_cast<size_t>(what)];
        Problem p;
        p.offset = offset;
        p.reason = reasonText(reason.words, value, other);
        p.stops = reason.stops;
        if (reason.of == Of::kElement) {  // the bad element's index, or the first missing
            const int64_t index = what == DecodeProblem::kBadClassName ? value : other;
            p.entry = format("[%u]", static_cast<unsigned>(index));
        } else if (reason.of == Of::kEntry ||
                   (reason.of == Of::kText &&
                    static_cast<status::TextRole>(other) != status::TextRole::kKey)) {
            p.entry = t.entry;
        }
        if (what == DecodeProblem::kUnknownType) t.itemType = static_cast<int32_t>(value);
        p.log = takeLogLines();
        t.problems.push_back(std::move(p));
    }

private:
    std::vector<Trace*> mStack;
};

// Decodes with the library from the parcel's position, which it leaves where the
// library did, recording what the decoder reports.
template <class Value, void (*decodeWith)(Parcel*, Value&, status::DecodeObserver*)>
std::unique_ptr<Value> decode(const Parcel& p, Trace& t) {
    t.start = p.dataPosition();
    takeLogLines();
    std::unique_ptr<Value> value(new Value());
    Recorder recorder(t);
    try {
        decodeWith(const_cast<Parcel*>(&p), *value, &recorder);
    } catch (int) {
        value.reset();  // an item of an unknown type: no value, the problems say why
    }
    t.end = p.dataPosition();
    std::vector<std::string> lines = takeLogLines();
    if (!lines.empty()) {
        Problem unmatched;
        unmatched.offset = t.end;
        unmatched.reason = "log lines that match no problem of the decoder";
        unmatched.stops = false;
        unmatched.log = std::move(lines);
        t.problems.push_back(std::move(unmatched));
    }
    return value;
}

// Where a value lies: its offset base in the input and the path of keys to it.
struct Place {
    size_t base;
    std::string path;
};

class Describer {
public:
    Json bundle(const Bundle& b, const Trace& t, const Place& at, int depth);
    Json array(const BundleArray& a, const Trace& t, const Place& at, int depth);
    Json item(const status::Item* item, const Trace& t, int depth);
    Json takeProblems() { return std::move(mProblems); }

private:
    Json entry(const Bundle& b, const Bundle::HashNode& node, const std::vector<EntryAt>& seen,
               const Place& at, int depth);
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
        j["stops"] = problem.stops;
        if (!problem.log.empty()) j["log"] = problem.log;
        mProblems.push_back(std::move(j));
    }
}

Json Describer::bundle(const Bundle& b, const Trace& t, const Place& at, int depth) {
    static const std::vector<EntryAt> kNone;
    Json j;
    j["offset"] = at.base + t.start;
    j["size"] = t.end - t.start;
    j["entries"] = Json::array();
    for (const Bundle::HashNode* node : nodesInOrder(b)) {
        const auto seen = t.entries.find(node);
        j["entries"].push_back(
            entry(b, *node, seen == t.entries.end() ? kNone : seen->second, at, depth));
    }
    add(t.problems, at);
    return j;
}

Json Describer::array(const BundleArray& a, const Trace& t, const Place& at, int depth) {
    Json j;
    j["offset"] = at.base + t.start;
    j["size"] = t.end - t.start;
    j["bundles"] = Json::array();
    for (size_t i = 0; i < a.mBundles.size() && i < t.inner.size(); ++i) {
        const Place element{at.base, at.path + format("[%zu]/", i)};
        j["bundles"].push_back(bundle(a.mBundles[i], t.inner[i], element, depth));
    }
    add(t.problems, at);
    return j;
}

Json Describer::item(const status::Item* item, const Trace& t, int depth) {
    Json j;
    j["offset"] = t.start;
    j["size"] = t.end - t.start;
    j["key"] = textJson(item != nullptr ? item->mKey : t.entry);
    const int32_t type = item != nullptr ? item->mType : t.itemType;
    const ItemRow* row = itemRow(type);
    j["type"] = row != nullptr ? Json(row->name) : Json(type);
    if (item != nullptr && row != nullptr) {
        j["value"] = row->toJson != nullptr
                         ? row->toJson(*item)
                         : bundle(item->mBundle, t.inner.empty() ? Trace() : t.inner.front(),
                                  Place{0, item->mKey + "/"}, depth);
    }
    add(t.problems, Place{0, ""});
    return j;
}

Json Describer::entry(const Bundle& b, const Bundle::HashNode& node,
                      const std::vector<EntryAt>& seen, const Place& at, int depth) {
    // A repeated key holds the value of its last occurrence.
    const EntryAt* e = seen.empty() ? nullptr : &seen.back();
    Json j;
    j["offset"] = at.base + (e != nullptr ? e->offset : 0);
    if (seen.size() > 1) {
        Json earlier = Json::array();
        for (size_t i = 0; i + 1 < seen.size(); ++i) earlier.push_back(at.base + seen[i].offset);
        j["replaces"] = earlier;
    }
    j["key"] = textJson(node.mKey);
    const KindRow* row = kindRow(node.mType);
    if (row == nullptr) {
        j["kind"] = node.mType;
        return j;
    }
    j["kind"] = row->name;
    if (row->toJson != nullptr) {
        j["value"] = row->toJson(b, node);
        if (node.mType == Bundle::TYPE_BYTE_ARRAY && j["value"].is_null()) j["count"] = node.mSize;
        return j;
    }
    // The stored bytes follow their length word.
    const size_t offset = at.base + (e != nullptr ? e->valueOffset + sizeof(int32_t) : 0);
    j["size"] = node.mParcel.dataSize();
    stored(node, Place{offset, at.path + node.mKey + "/"}, depth, j);
    return j;
}

// Decodes a value from a copy of its bytes, and tells whether its encoding gives those
// bytes back. For a nested value the copy goes before the caller describes the levels
// below, so that each level holds one copy of the rest of the nest (its value's), and
// `--depth` levels at the most are held at once.
template <class Value, void (*decodeWith)(Parcel*, Value&, status::DecodeObserver*)>
std::unique_ptr<Value> decodeCopy(const uint8_t* data, size_t size, Trace& t, bool& same) {
    Parcel p;
    p.setData(data, size);
    std::unique_ptr<Value> value = decode<Value, decodeWith>(p, t);
    if (value != nullptr && p.dataPosition() == size) {
        const Bytes again = encoded(*value);
        same = again.size() == size && (size == 0 || memcmp(again.data(), data, size) == 0);
    }
    return value;
}

// Decodes stored bytes as the getters would. The bytes themselves are kept whenever
// the decoded value alone would not give them back.
void Describer::stored(const Bundle::HashNode& node, const Place& at, int depth, Json& j) {
    const uint8_t* data = node.mParcel.data();
    const size_t size = data == nullptr ? 0 : node.mParcel.dataSize();
    bool same = false;
    Trace t;
    if (depth <= 0 || size == 0) {  // nothing stored: the entry never held a value
        j["value"] = nullptr;
    } else if (node.mType == Bundle::TYPE_BUNDLE) {
        const auto value = decodeCopy<Bundle, status::decodeBundle>(data, size, t, same);
        j["value"] = bundle(*value, t, at, depth - 1);
    } else {
        const auto value = decodeCopy<BundleArray, status::decodeBundleArray>(data, size, t, same);
        j["value"] = array(*value, t, at, depth - 1);
    }
    if (!same) j["bytes"] = toHex(data, size);
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
    if (words[0] > 0 && static_cast<size_t>(words[1]) == strlen(BundleArray::BUNDLE_CLASS_NAME)) {
        return {Kind::Array, "a count, then a text as long as the bundle class name"};
    }
    return {Kind::Item, "neither the bundle magic nor a bundle count"};
}

Json describe(const Bytes& bytes, Kind kind, int depth) {
    Describer describer;
    Json doc;
    doc["kind"] = kindName(kind);
    doc["size"] = bytes.size();
    Json& value = doc[kindName(kind)];
    const Place top{0, ""};
    Trace t;
    bool same = false;
    if (kind == Kind::Bundle) {
        const auto b =
            decodeCopy<Bundle, status::decodeBundle>(bytes.data(), bytes.size(), t, same);
        value = describer.bundle(*b, t, top, depth);
    } else if (kind == Kind::Array) {
        const auto a =
            decodeCopy<BundleArray, status::decodeBundleArray>(bytes.data(), bytes.size(), t, same);
        value = describer.array(*a, t, top, depth);
    } else {
        const auto item =
            decodeCopy<status::Item, status::decodeItem>(bytes.data(), bytes.size(), t, same);
        value = describer.item(item.get(), t, depth);
    }
    Json problems = describer.takeProblems();
    std::stable_sort(problems.begin(), problems.end(), [](const Json& a, const Json& b) {
        return a["offset"].get<size_t>() < b["offset"].get<size_t>();
    });
    doc["problems"] = std::move(problems);
    if (t.end < bytes.size()) {
        doc["trailing"] = Json{{"offset", t.end}, {"size", bytes.size() - t.end}};
    }
    doc["exact"] = same;
    return doc;
}

}  // namespace inspect
