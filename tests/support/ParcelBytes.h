#pragma once

#include <binder/Parcel.h>
#include <stddef.h>
#include <stdint.h>
#include <utils/String16.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "statusitem/ItemWriter.h"

namespace testing_support {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const android::Parcel& p) {
    return Bytes(p.data(), p.data() + p.dataSize());
}

// The parcel holds a copy of the bytes, positioned at the first one.
inline void load(android::Parcel& p, const uint8_t* data, size_t size) {
    p.setData(data, size);
    p.setDataPosition(0);
}

inline void load(android::Parcel& p, const Bytes& bytes) {
    load(p, bytes.data(), bytes.size());
}

// What the type's parcel constructor makes of the bytes.
template <class Decoded>
Decoded decode(const Bytes& bytes) {
    android::Parcel p;
    load(p, bytes);
    return Decoded(&p);
}

// The general path of text: String16 from the text's C string, written by the parcel.
inline Bytes string16Bytes(const std::string& text) {
    android::Parcel p;
    p.writeString16(android::String16(text.c_str()));
    return bytesOf(p);
}

// The bytes of a value that writes itself with toParcel (a bundle, a bundle array).
template <class Encodable>
Bytes encode(const Encodable& value) {
    android::Parcel p;
    value.toParcel(&p);
    return bytesOf(p);
}

// An item has no toParcel: the library only decodes items.
inline Bytes encode(const status::Item& item) {
    android::Parcel p;
    status::writeItem(&p, item);
    return bytesOf(p);
}

inline void putWord(Bytes& out, uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

// Little-endian int32 words, for writing expected streams compactly.
inline Bytes words(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) putWord(out, v);
    return out;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace testing_support
