#pragma once

// The bundle value kinds, one row each: name, value to JSON, JSON to the setter, and how
// the text printer shows it. The JSON readers that check exact values are here too.

#include <stdint.h>

#include <stdexcept>
#include <string>

#include "bundle/Bundle.h"
#include "inspect/Model.h"

namespace inspect {

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
double number(const Json& j);
bool boolean(const Json& j);

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

}  // namespace inspect
