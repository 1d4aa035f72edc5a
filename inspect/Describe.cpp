#include <string.h>

#include <algorithm>
#include <map>

#include "bundle/BundleArray.h"
#include "bundle/DecodeObserver.h"
#include "bundle/InOrder.h"
#include "inspect/Kinds.h"

namespace inspect {

namespace {

using android::Parcel;
using status::Bundle;
using status::BundleArray;
using status::DecodeProblem;
using Node = Bundle::HashNode;

// Whom a problem concerns: the bundle itself, the entry (or item) being read, a text
// (none when it is the key, which is not read yet), or an element of a bundle array.
enum class Of { kBundle, kEntry, kText, kElement };

// The reasons as the tool words them, one row per DecodeProblem in its order, and
// whether decoding stopped there. In the words, {v} stands for the value, {x} for it as
// a word in hex, {o} for the other number, {r} for the text's role and {c} for the
// bundle class name. Counts come unsigned, kinds and lengths as the int32 read.
const struct {
    Of of;
    bool stops;
    const char* words;
} kReasons[] = {
    {Of::kBundle, true, "bad magic identifier {x}"},
    {Of::kBundle, true, "the data ends before the count"},
    {Of::kBundle, true, "the count promises {v} entries; the data holds {o}"},
    {Of::kEntry, true, "unrecognised kind {v}"},
    {Of::kEntry, true, "stored length {v} exceeds the {o} bytes left"},
    {Of::kEntry, true, "array count {v} exceeds the {o} bytes left"},
    {Of::kEntry, false, "byte array of {v} bytes has no block; it reads as absent"},
    {Of::kEntry, false, "the data ends inside the value; read as 0"},
    {Of::kText, false, "the data ends before the {r}"},
    {Of::kText, false, "{r} length {v} exceeds the data; read as empty"},
    {Of::kText, false, "{r} lacks its zero terminator; read as empty"},
    {Of::kElement, true, "class name is not {c}"},
    {Of::kElement, true, "the count promises {v} bundles; the data holds {o}"},
    {Of::kEntry, false, "the data ends before the type; read as 0"},
    {Of::kEntry, true, "unknown value type {v}"},
};
static_assert(sizeof(kReasons) / sizeof(kReasons[0]) ==
                  static_cast<size_t>(DecodeProblem::kUnknownType) + 1,
              "one reason per problem");

std::string reasonText(const char* words, int64_t value, int64_t other) {
    static const char* const kRoles[] = {"key", "string", "string element"};
    const std::pair<const char*, std::string> fills[] = {
        {"{v}", format("%lld", static_cast<long long>(value))},
        {"{x}", format("%08X", static_cast<unsigned>(value))},
        {"{o}", format("%lld", static_cast<long long>(other))},
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

struct Span {
    size_t start = 0;
    size_t end = 0;
};

struct EntryAt {
    size_t entry;
    size_t value;
};

// What the library's decoder told while it decoded one value from a copy of its bytes:
// where each node's entries and values start (a repeated key's earlier ones first),
// where the bundles of an array or an item lie, and the problems, each with the log
// lines written for it, placed in the input at `base` and named below `path`.
class Trace : public status::DecodeObserver {
public:
    Trace(size_t base, std::string path) : base(base), path(std::move(path)) {}

    // Decodes as `decodeWith` does; `same` tells whether the bytes are the value's own
    // encoding. The copy is gone before the caller describes the levels below, so that
    // each level holds one copy of the rest of the nest, and `--depth` levels at most.
    template <class Value>
    Value decode(void (*decodeWith)(Parcel*, Value&, status::DecodeObserver*), const uint8_t* data,
                 size_t size) {
        Parcel p;
        p.setData(data, size);
        takeLogLines();
        Value value;
        bool whole = true;
        try {
            decodeWith(&p, value, this);
        } catch (int) {
            whole = false;  // an item of an unknown type: it keeps its key and type
        }
        end = p.dataPosition();
        std::vector<std::string> lines = takeLogLines();
        if (!lines.empty()) {
            add(end, "", "log lines that match no problem of the decoder", false, std::move(lines));
        }
        if (whole && end == size) {
            const Bytes again = encoded(value);
            same = std::equal(again.begin(), again.end(), data, data + size);
        }
        return value;
    }

    void entry(const Node& node, size_t offset, size_t valueOffset) override {
        entries[&node].push_back(EntryAt{offset, valueOffset});
        mEntry = mInner + node.mKey;
    }
    void bundleStarts(size_t offset) override {
        mOuter = mEntry;
        mInner = mItem ? mEntry + "/" : format("[%zu]/", inner.size());
        inner.push_back(Span{offset, offset});
    }
    void bundleEnds(size_t offset) override {
        inner.back().end = offset;
        mInner.clear();
        mEntry = mOuter;
    }
    void item(const std::string& key, size_t) override {
        mEntry = key;
        mItem = true;
    }
    void problem(DecodeProblem what, size_t offset, int64_t value, int64_t other) override {
        const auto& reason = kReasons[static_cast<size_t>(what)];
        std::string entry = mInner;
        if (reason.of == Of::kElement) {  // the bad element's index, or the first missing
            const int64_t index = what == DecodeProblem::kBadClassName ? value : other;
            entry = format("[%u]", static_cast<unsigned>(index));
        } else if (reason.of == Of::kEntry ||
                   (reason.of == Of::kText &&
                    static_cast<status::TextRole>(other) != status::TextRole::kKey)) {
            entry = mEntry;
        }
        add(offset, entry, reasonText(reason.words, value, other), reason.stops, takeLogLines());
    }

    const size_t base;
    const std::string path;
    size_t end = 0;
    bool same = false;
    std::map<const Node*, std::vector<EntryAt>> entries;
    std::vector<Span> inner;
    Json problems = Json::array();

private:
    void add(size_t offset, const std::string& entry, const std::string& reason, bool stops,
             std::vector<std::string> log) {
        std::string named = path + entry;
        if (!named.empty() && named.back() == '/') named.pop_back();
        Json j{{"offset", base + offset},
               {"entry", textJson(named)},
               {"reason", reason},
               {"stops", stops}};
        if (!log.empty()) j["log"] = std::move(log);
        problems.push_back(std::move(j));
    }

    std::string mEntry;  // the entry (or item) being read, with mInner before it
    std::string mInner;  // the path of the bundle of an array or item being read
    std::string mOuter;  // mEntry before that bundle
    bool mItem = false;
};

// Describes values as the traces of their decoding tell, gathering the problems.
class Describer {
public:
    // Decodes a value of the kind, describes it, then files its problems after those of
    // the values nested in it.
    Json decoded(Kind kind, const uint8_t* data, size_t size, Trace& t, int depth) {
        Json j;
        if (kind == Kind::Bundle) {
            const Bundle b = t.decode(status::decodeBundle, data, size);
            j = bundle(b, t, Span{0, t.end}, t.path, depth);
        } else if (kind == Kind::Array) {
            const BundleArray a = t.decode(status::decodeBundleArray, data, size);
            j = Json{{"offset", t.base}, {"size", t.end}, {"bundles", Json::array()}};
            for (size_t i = 0; i < a.mBundles.size() && i < t.inner.size(); ++i) {
                j["bundles"].push_back(
                    bundle(a.mBundles[i], t, t.inner[i], t.path + format("[%zu]/", i), depth));
            }
        } else {
            const status::Item item = t.decode(status::decodeItem, data, size);
            const ItemRow* row = itemRow(item.mType);
            j = Json{{"offset", t.base},
                     {"size", t.end},
                     {"key", textJson(item.mKey)},
                     {"type", row != nullptr ? Json(row->name) : Json(item.mType)}};
            if (row != nullptr) {
                j["value"] = row->toJson != nullptr
                                 ? row->toJson(item)
                                 : bundle(item.mBundle, t, t.inner.empty() ? Span() : t.inner[0],
                                          item.mKey + "/", depth);
            }
        }
        problems.insert(problems.end(), t.problems.begin(), t.problems.end());
        return j;
    }

    Json problems = Json::array();

private:
    Json bundle(const Bundle& b, const Trace& t, Span span, const std::string& path, int depth) {
        Json j{{"offset", t.base + span.start},
               {"size", span.end - span.start},
               {"entries", Json::array()}};
        for (const Node* node : nodesInOrder(b)) {
            j["entries"].push_back(entry(b, *node, t, path, depth));
        }
        return j;
    }

    Json entry(const Bundle& b, const Node& node, const Trace& t, const std::string& path,
               int depth) {
        // A repeated key holds the value of its last occurrence.
        const std::vector<EntryAt>& seen = t.entries.at(&node);
        Json j{{"offset", t.base + seen.back().entry}};
        if (seen.size() > 1) {
            Json earlier = Json::array();
            for (size_t i = 0; i + 1 < seen.size(); ++i) earlier.push_back(t.base + seen[i].entry);
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
            if (node.mType == Bundle::TYPE_BYTE_ARRAY && j["value"].is_null())
                j["count"] = node.mSize;
            return j;
        }
        // Stored bytes, which follow their length word, decode as the getters would; they
        // are kept whenever the decoded value alone would not give them back.
        const uint8_t* data = node.mParcel.data();
        const size_t size = data == nullptr ? 0 : node.mParcel.dataSize();
        j["size"] = node.mParcel.dataSize();
        Trace nested(t.base + seen.back().value + sizeof(int32_t), path + node.mKey + "/");
        if (depth <= 0 || size == 0) {  // nothing stored: the entry never held a value
            j["value"] = nullptr;
        } else {
            const Kind kind = node.mType == Bundle::TYPE_BUNDLE ? Kind::Bundle : Kind::Array;
            j["value"] = decoded(kind, data, size, nested, depth - 1);
        }
        if (!nested.same) j["bytes"] = toHex(data, size);
        return j;
    }
};

struct Guess {
    Kind kind;
    const char* why;
};

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

}  // namespace

Json describe(const Bytes& bytes, std::optional<Kind> given, int depth) {
    const Guess guess = given ? Guess{*given, nullptr} : guessKind(bytes);
    const Kind kind = guess.kind;
    Describer describer;
    Trace t(0, "");
    Json doc{{"kind", kindName(kind)}, {"size", bytes.size()}};
    doc[kindName(kind)] = describer.decoded(kind, bytes.data(), bytes.size(), t, depth);
    Json& problems = doc["problems"] = std::move(describer.problems);
    std::stable_sort(problems.begin(), problems.end(), [](const Json& a, const Json& b) {
        return a["offset"].get<size_t>() < b["offset"].get<size_t>();
    });
    if (t.end < bytes.size()) {
        doc["trailing"] = Json{{"offset", t.end}, {"size", bytes.size() - t.end}};
    }
    doc["exact"] = t.same;
    if (guess.why != nullptr) doc["guessed"] = guess.why;
    return doc;
}

}  // namespace inspect
