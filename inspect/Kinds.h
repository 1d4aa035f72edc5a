#pragma once

// The bundle value kinds and the item value types, one row each: name, value to JSON,
// JSON to the setter, and how the text printer shows it. The JSON readers that check
// exact values are here too.

#include <stdint.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "bundle/Bundle.h"
#include "inspect/Inspect.h"
#include "statusitem/Item.h"
#include "statusitem/ItemWriter.h"

namespace inspect {

// The bytes the library writes for a value.
template <class T>
Bytes encoded(const T& value) {
    android::Parcel p;
    if constexpr (std::is_same<T, status::Item>::value) {
        writeItem(&p, value);  // the library only decodes items
    } else {
        value.toParcel(&p);
    }
    return p.data() == nullptr ? Bytes() : Bytes(p.data(), p.data() + p.dataSize());
}

// Why a JSON document cannot be encoded, after the JSON pointer of the value refused
// (nlohmann's own, with JSON_DIAGNOSTICS).
struct Refused : std::runtime_error {
    Refused(const Json& at, const std::string& why);
};

const Json& field(const Json& j, const char* name);
const Json& list(const Json& j);
std::string text(const Json& j);
// Keys and texts of a bundle end at their first NUL, so none may hold one.
std::string bundleText(const Json& j);
int64_t integer(const Json& j, int64_t min, int64_t max);
// An integer in T's range.
template <class T>
T integral(const Json& j) {
    return static_cast<T>(integer(j, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

enum class TextForm { kScalar, kElements, kBytes, kNested };

struct KindRow {
    int32_t tag;
    const char* name;
    TextForm form;
    // Null for the nested kinds, whose stored bytes the caller handles.
    Json (*toJson)(const status::Bundle& b, const status::Bundle::HashNode& node);
    void (*fromJson)(status::Bundle& b, const char* key, const Json& value);
};

const KindRow* kindRow(int32_t tag);              // null when unknown
const KindRow* kindRow(const std::string& name);  // null when unknown

// The item value types, one row each by code, with the same functions; null for the
// bundle, which the caller describes and builds.
struct ItemRow {
    const char* name;
    Json (*toJson)(const status::Item& item);
    void (*fromJson)(status::Item& item, const Json& value);
};

const ItemRow* itemRow(int32_t code);       // null when unknown
int32_t itemCode(const std::string& name);  // -1 when unknown

}  // namespace inspect
