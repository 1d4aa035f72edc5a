#include "bundle/BundleArray.h"
#include "inspect/Kinds.h"

namespace inspect {

namespace {

using status::Bundle;
using status::BundleArray;

// Deeper documents are refused rather than recursed into.
constexpr int kMaxNesting = 64;

Bundle buildBundle(const Json& j, int depth);

BundleArray buildArray(const Json& j, int depth) {
    if (depth > kMaxNesting) throw Refused(j, "nested too deeply");
    BundleArray a;
    for (const Json& bundle : list(field(j, "bundles"))) {
        a.mBundles.push_back(buildBundle(bundle, depth));
    }
    return a;
}

void setNested(Bundle& b, const std::string& key, int32_t kind, const Json& e, int depth) {
    if (e.contains("bytes")) {  // stored bytes go in as they are, as the decoder keeps them
        Bytes bytes;
        const Json& hex = e["bytes"];
        if (!hex.is_string() || !fromHex(hex.get<std::string>(), bytes)) {
            throw Refused(hex, "expected hex digits");
        }
        Bundle::HashNode* node = b.getTree()->getNode(key.c_str(), true);
        node->mType = kind;
        node->mParcel.setData(bytes.data(), bytes.size());
    } else if (kind == Bundle::TYPE_BUNDLE) {
        b.set(key.c_str(), buildBundle(field(e, "value"), depth + 1));
    } else {
        b.setArray(key.c_str(), buildArray(field(e, "value"), depth + 1));
    }
}

void setEntry(Bundle& b, const Json& e, int depth) {
    const std::string key = bundleText(field(e, "key"));
    const char* k = key.c_str();
    const Json& kindJson = field(e, "kind");
    if (kindJson.is_number()) {
        const int32_t tag = integral<int32_t>(kindJson);
        if (kindRow(tag) != nullptr) throw Refused(kindJson, "use the kind's name");
        b.getTree()->getNode(k, true)->mType = tag;  // written without a value
        return;
    }
    const KindRow* row = kindJson.is_string() ? kindRow(kindJson.get<std::string>()) : nullptr;
    if (row == nullptr) throw Refused(kindJson, "unknown kind");
    if (row->fromJson == nullptr) {
        setNested(b, key, row->tag, e, depth);
    } else {
        row->fromJson(b, k, field(e, "value"));
    }
}

// The encoder writes equal hashes newest first: creating the entries from the last to
// the first gives them back in the listed order.
Bundle buildBundle(const Json& j, int depth) {
    if (depth > kMaxNesting) throw Refused(j, "nested too deeply");
    Bundle b;
    const Json& entries = list(field(j, "entries"));
    for (size_t i = entries.size(); i-- > 0;) setEntry(b, entries[i], depth);
    return b;
}

status::Item buildItem(const Json& j) {
    status::Item item;
    item.mKey = text(field(j, "key"));
    const Json& typeJson = field(j, "type");
    item.mType =
        typeJson.is_string() ? itemCode(typeJson.get<std::string>()) : integral<int32_t>(typeJson);
    const ItemRow* row = itemRow(item.mType);
    if (row == nullptr) {  // an unknown code is written alone, as the decoder met it
        if (typeJson.is_string()) throw Refused(typeJson, "unknown type");
    } else if (row->fromJson != nullptr) {
        row->fromJson(item, field(j, "value"));
    } else {
        item.mBundle = buildBundle(field(j, "value"), 0);
    }
    return item;
}

}  // namespace

bool encode(const Json& doc, Bytes& out, std::string& error) {
    try {
        const Json& kindJson = field(doc, "kind");
        Kind kind;
        if (!kindJson.is_string() || !kindFromName(kindJson.get<std::string>(), kind)) {
            throw Refused(kindJson, "expected \"bundle\", \"array\" or \"item\"");
        }
        const Json& value = field(doc, kindName(kind));
        out = kind == Kind::Bundle  ? encoded(buildBundle(value, 0))
              : kind == Kind::Array ? encoded(buildArray(value, 0))
                                    : encoded(buildItem(value));
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace inspect
