#include "inspect/Model.h"

#include <string.h>

#include <cmath>

#include "inspect/Text.h"

namespace inspect {

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
    return Json{{"hex", toHex(text)}};
}

Json doubleJson(double value) {
    if (std::isfinite(value)) return value;
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return Json{{"bits", format("%016llx", static_cast<unsigned long long>(bits))}};
}

}  // namespace inspect
