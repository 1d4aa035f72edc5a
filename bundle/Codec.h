#pragma once

#include <binder/Parcel.h>

#include <string>

#include "bundle/Bundle.h"

namespace status {

class DecodeObserver;

namespace codec {

// Kinds 0 to 12 have a value; any other kind ends the decoding.
inline bool recognised(int32_t type) {
    return static_cast<uint32_t>(type) <= static_cast<uint32_t>(Bundle::TYPE_BUNDLE_ARRAY);
}

// Writes the text up to its first NUL as a String16, the same bytes that
// writeString16(String16(text.c_str())) gives.
void writeText(android::Parcel* p, const std::string& text);

// Writes key, kind and value. Most entries take one block: an ASCII key with a scalar,
// an ASCII string or an array of numbers.
void writeEntry(android::Parcel* p, const Bundle::HashNode& node);

// Writes the value of a node of a recognised kind (0 to 12), one write at a time: the
// tests' reference encoder, beside writeEntry's single blocks.
void encodeValue(android::Parcel* p, const Bundle::HashNode& node);

// The bytes a scalar kind's value takes; 0 for the others.
inline size_t scalarSize(int32_t type) {
    switch (type) {
        case Bundle::TYPE_BOOL:
        case Bundle::TYPE_INT32:
            return sizeof(int32_t);
        case Bundle::TYPE_INT64:
        case Bundle::TYPE_DOUBLE:
            return sizeof(int64_t);
        default:
            return 0;
    }
}

// Reads the value of a recognised kind into the node; false ends the decoding of the
// bundle (the node keeps its kind). The observer, if any, hears of its problems.
bool decodeValue(const android::Parcel* p, Bundle::HashNode& node,
                 DecodeObserver* observer = nullptr);

// Replaces the node's stored bytes with the encoding of `value` (a Bundle or a
// BundleArray), ready to be read from the first byte. `empty` is the encoding of an
// empty value, which stands in for the node itself when the value contains it.
template <class Encodable>
void storeEncoded(Bundle::HashNode& node, const Encodable& value, bool containsNode,
                  void (*empty)(android::Parcel*));

// Decodes a fresh T from the node's stored bytes without moving their position, so
// that concurrent readers of one tree do not disturb each other.
template <class T>
T storedValue(const Bundle::HashNode& node) {
    android::Parcel view;
    view.setData(node.mParcel.data(), node.mParcel.dataSize());
    return T(&view);
}

template <class Encodable>
void storeEncoded(Bundle::HashNode& node, const Encodable& value, bool containsNode,
                  void (*empty)(android::Parcel*)) {
    node.mParcel.freeData();
    if (containsNode) {
        // The value is encoded from the very tree being changed: let the node read as
        // an empty value in its own snapshot, and encode aside so its bytes are stable.
        empty(&node.mParcel);
        android::Parcel aside;
        value.toParcel(&aside);
        node.mParcel.freeData();
        node.mParcel.appendFrom(&aside, 0, aside.dataSize());
    } else {
        value.toParcel(&node.mParcel);
    }
    node.mParcel.setDataPosition(0);
}

}  // namespace codec
}  // namespace status
