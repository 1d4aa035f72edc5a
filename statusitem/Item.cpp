#include "statusitem/Item.h"

#include <utils/Unicode.h>

#include "bundle/DecodeObserver.h"

namespace status {

namespace {

// Unlike bundle keys, item text keeps embedded NULs: every converted byte stays. The
// observer, if any, hears why a text read as empty.
void readText(const android::Parcel* p, std::string& target, DecodeObserver* observer,
              TextRole role) {
    const TextStart start = observer != nullptr ? textStart(p) : TextStart{};
    size_t units = 0;
    const char16_t* text = p->readString16Inplace(&units);
    if (observer != nullptr) noteText(p, *observer, start, role);
    const ssize_t length = utf16_to_utf8_length(text, units);
    if (length < 1) return;  // empty text: the converter writes nothing
    target.resize(static_cast<size_t>(length));
    utf16_to_utf8(text, units, &target[0]);  // its NUL lands on the string's own
}

// The bytes a value of the type takes, if the data ends inside it.
void needs(const android::Parcel* p, size_t size, DecodeObserver* observer) {
    if (observer != nullptr && p->dataAvail() < size) {
        observer->problem(DecodeProblem::kShortValue, p->dataPosition(), 0, 0);
    }
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
    decodeItem(p, *this, nullptr);
}

void decodeItem(android::Parcel* p, Item& into, DecodeObserver* observer) {
    try {
        readText(p, into.mKey, observer, TextRole::kKey);
        const size_t typeAt = observer != nullptr ? p->dataPosition() : 0;
        if (observer != nullptr) {
            observer->item(into.mKey, typeAt);
            if (p->dataAvail() < sizeof(int32_t)) {
                observer->problem(DecodeProblem::kNoType, typeAt, 0, 0);
            }
        }
        into.mType = p->readInt32();
        if (static_cast<uint32_t>(into.mType) > Item::ITEM_BUNDLE) {
            if (observer != nullptr)
                observer->problem(DecodeProblem::kUnknownType, typeAt, into.mType, 0);
            throw 2;
        }
        switch (into.mType) {
            case Item::ITEM_BOOL:
                needs(p, sizeof(int32_t), observer);
                into.mValue.mBool = p->readInt32() != 0;
                break;
            case Item::ITEM_LONG:
                needs(p, sizeof(int64_t), observer);
                into.mValue.mInt64 = p->readInt64();
                break;
            case Item::ITEM_DOUBLE:
                needs(p, sizeof(double), observer);
                into.mValue.mDouble = p->readDouble();
                break;
            case Item::ITEM_STRING:
                readText(p, into.mString, observer, TextRole::kString);
                break;
            case Item::ITEM_BUNDLE:
                if (observer != nullptr) observer->bundleStarts(p->dataPosition());
                decodeBundle(p, into.mBundle, observer);
                if (observer != nullptr) observer->bundleEnds(p->dataPosition());
                break;
        }
    } catch (int) {
        throw;
    } catch (...) {
        into.mString.clear();
        into.mBundle = Bundle();
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
