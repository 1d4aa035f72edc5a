#include "inspect/Model.h"

#include <string.h>

#include <cmath>

#include "inspect/Text.h"
#include "statusitem/Item.h"

namespace inspect {

namespace {

const char* const kItemTypes[] = {"bool", "long", "double", "string", "bundle"};
const char* const kKinds[] = {"bundle", "array", "item"};

template <size_t N>
int32_t indexOf(const char* const (&names)[N], const std::string& name) {
    for (size_t i = 0; i < N; ++i) {
        if (name == names[i]) return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace

const char* kindName(Kind kind) {
    return kKinds[static_cast<int>(kind)];
}

bool kindFromName(const std::string& name, Kind& kind) {
    const int32_t i = indexOf(kKinds, name);
    if (i < 0) return false;
    kind = static_cast<Kind>(i);
    return true;
}

const char* itemTypeName(int32_t code) {
    return code >= 0 && code <= status::Item::ITEM_BUNDLE ? kItemTypes[code] : nullptr;
}

int32_t itemTypeCode(const std::string& name) {
    return indexOf(kItemTypes, name);
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
