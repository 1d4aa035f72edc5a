#include "statusitem/ItemWriter.h"

#include <utils/String16.h>

namespace status {

namespace {

void writeText(android::Parcel* p, const std::string& text) {
    p->writeString16(android::String16(text.data(), text.size()));
}

}  // namespace

void writeItem(android::Parcel* p, const Item& item) {
    writeText(p, item.mKey);
    p->writeInt32(item.mType);
    switch (item.mType) {
        case Item::ITEM_BOOL:
            p->writeInt32(item.mValue.mBool ? 1 : 0);
            break;
        case Item::ITEM_LONG:
            p->writeInt64(item.mValue.mInt64);
            break;
        case Item::ITEM_DOUBLE:
            p->writeDouble(item.mValue.mDouble);
            break;
        case Item::ITEM_STRING:
            writeText(p, item.mString);
            break;
        case Item::ITEM_BUNDLE:
            item.mBundle.toParcel(p);
            break;
        default:
            break;
    }
}

}  // namespace status
