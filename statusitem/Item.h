#pragma once

#include <binder/Parcel.h>
#include <stdint.h>

#include <string>

#include "bundle/Bundle.h"

namespace status {

// One piece of status: a key and one typed value, handed to the binder client.
class STATUSITEM_EXPORT Item {
public:
    // These codes are the item's own; they are not the bundle's kind tags.
    enum ValueType : int32_t {
        ITEM_BOOL = 0,
        ITEM_LONG = 1,
        ITEM_DOUBLE = 2,
        ITEM_STRING = 3,
        ITEM_BUNDLE = 4,
    };

    Item();
    Item(const Item& other);
    Item& operator=(const Item& other) = default;
    // Throws the int 2 for a value-type code outside 0 to 4, and nothing else.
    explicit Item(android::Parcel* p);
    virtual ~Item();

    void setBool(const char* key, bool value);
    void setInt(const char* key, int value);
    void setLong(const char* key, long long value);
    void setDouble(const char* key, double value);
    void setString(const char* key, const char* value);
    void setBundle(const char* key, Bundle value);

    std::string mKey;
    int32_t mType;
    union {
        bool mBool;
        int64_t mInt64;
        double mDouble;
    } mValue;
    std::string mString;
    Bundle mBundle;
};

}  // namespace status
