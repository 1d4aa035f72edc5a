#include "inspect/Inspect.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <cmath>

namespace inspect {

std::string format(const char* fmt, ...) {
    va_list args, again;
    va_start(args, fmt);
    va_copy(again, args);
    std::string out(static_cast<size_t>(std::max(0, vsnprintf(nullptr, 0, fmt, args))), '\0');
    vsnprintf(&out[0], out.size() + 1, fmt, again);  // its NUL lands on the string's own
    va_end(again);
    va_end(args);
    return out;
}

std::string toHex(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
    }
    return out;
}

bool fromHex(const std::string& hex, Bytes& out) {
    if (hex.size() % 2 != 0 || hex.find_first_not_of("0123456789abcdefABCDEF") != hex.npos) {
        return false;
    }
    for (size_t i = 0; i < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return true;
}

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF, which is what a
// JSON string can carry unchanged. nlohmann's own check on dump decides.
bool isUtf8(const std::string& s) {
    // Made empty, then filled: built from the string at once, GCC 12 warns falsely
    // (-Warray-bounds) inside the parent links that JSON_DIAGNOSTICS adds.
    nlohmann::json j(nlohmann::json::value_t::string);
    j.get_ref<std::string&>() = s;
    try {
        j.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
        return true;
    } catch (const nlohmann::json::type_error& e) {
        if (e.id != 316) throw;  // 316: invalid UTF-8
        return false;
    }
}

namespace {

const char* const kKinds[] = {"bundle", "array", "item"};

}  // namespace

const char* kindName(Kind kind) {
    return kKinds[static_cast<int>(kind)];
}

bool kindFromName(const std::string& name, Kind& kind) {
    for (int i = 0; i < 3; ++i) {
        if (name == kKinds[i]) {
            kind = static_cast<Kind>(i);
            return true;
        }
    }
    return false;
}

Json textJson(const std::string& text) {
    if (isUtf8(text)) return text;
    return Json{{"hex", toHex(reinterpret_cast<const uint8_t*>(text.data()), text.size())}};
}

Json doubleJson(double value) {
    if (std::isfinite(value)) return value;
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return Json{{"bits", format("%016llx", static_cast<unsigned long long>(bits))}};
}

}  // namespace inspect
