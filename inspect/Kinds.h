#pragma once

// The bundle value kinds, one row each: name, value to JSON, JSON to the setter, and how
// the text printer shows it. The JSON readers that check exact values are here too.

#include <stdint.h>

#include <stdexcept>
#include <string>

#include "bundle/Bundle.h"
#include "inspect/Model.h"

namespace inspect {

// Why a JSON document cannot be encoded, after where in it.
struct Refused : std::runtime_error {
    Refused(const std::string& where, const std::string& why)
        : std::runtime_error(where + ": " + why) {}
};

const Json& field(const Json& j, const char* name, const std::string& where);
const Json& list(const Json& j, const std::string& where);
std::string text(const Json& j, const std::string& where);
// Keys and texts of a bundle end at their first NUL, so none may hold one.
std::string bundleText(const Json& j, const std::string& where);
int64_t integer(const Json& j, int64_t min, int64_t max, const std::string& where);
double number(const Json& j, const std::string& where);
bool boolean(const Json& j, const std::string& where);

enum class TextForm { kScalar, kElements, kBytes, kNested };

struct KindRow {
    int32_t tag;
    const char* name;
    TextForm form;
    // Null for the nested kinds, whose stored bytes the caller handles.
    Json (*toJson)(const status::Bundle& b, const status::Bundle::HashNode& node);
    void (*fromJson)(status::Bundle& b, const char* key, const Json& value,
                     const std::string& where);
};

const KindRow* kindRow(int32_t tag);              // null when unknown
const KindRow* kindRow(const std::string& name);  // null when unknown

}  // namespace inspect
