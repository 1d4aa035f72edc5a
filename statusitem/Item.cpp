#include "statusitem/Item.h"

#include <utils/Unicode.h>

namespace status {

namespace {

// Unlike bundle keys, item text keeps embedded NULs: every converted byte stays.
void readText(const android::Parcel* p, std::string& target) {
    size_t units = 0;
    const char16_t* text = p->readString16Inplace(&units);
    const ssize_t length = utf16_to_utf8_length(text, units);
    if (length < 1) return;  // empty text: the converter writes nothing
    target.resize(static_cast<size_t>(length));
    utf16_to_utf8(text, units, &target[0]);  // its NUL lands on the string's own
}

}  // namespace

Item::Item() : mType(ITEM_BOOL) {
    mValue.mInt64 = 0;
}

Item::Item(const Item& other)
    : mKey(other.mKey),
      mType(other.mType),
      mValue(other.mValue),
      mString(other.mString),
      mBundle(other.mBundle) {}

// Only the int 2 may leave: should anything else be thrown (memory exhausted), the
// item keeps what it had read, with a neutral value.
Item::Item(android::Parcel* p) : Item() {
    try {
        readText(p, mKey);
        mType = p->readInt32();
        if (static_cast<uint32_t>(mType) > ITEM_BUNDLE) throw 2;
        switch (mType) {
            case ITEM_BOOL:
                mValue.mBool = p->readInt32() != 0;
                break;
            case ITEM_LONG:
                mValue.mInt64 = p->readInt64();
                break;
            case ITEM_DOUBLE:
                mValue.mDouble = p->readDouble();
                break;
            case ITEM_STRING:
                readText(p, mString);
                break;
            case ITEM_BUNDLE:
                mBundle = Bundle(p);
                break;
        }
    } catch (int) {
        throw;
    } catch (...) {
        mString.clear();
        mBundle = Bundle();
    }
}

Item::~Item() {}

void Item::setBool(const char* key, bool value) {
    mKey = key;
    mType = ITEM_BOOL;
    mValue.mBool = value;
}

void Item::setInt(const char* key, int value) {
    setLong(key, value);
}

void Item::setLong(const char* key, long long value) {
    mKey = key;
    mType = ITEM_LONG;
    mValue.mInt64 = value;
}

void Item::setDouble(const char* key, double value) {
    mKey = key;
    mType = ITEM_DOUBLE;
    mValue.mDouble = value;
}

void Item::setString(const char* key, const char* value) {
    mKey = key;
    mType = ITEM_STRING;
    mString = value;
}

void Item::setBundle(const char* key, Bundle value) {
    mKey = key;
    mType = ITEM_BUNDLE;
    mBundle = value;
}

}  // namespace status
