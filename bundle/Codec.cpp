// One encoder and one decoder per value kind, side by side. Each decoder makes
// exactly the reads its encoder's writes produce, and bounds the work by the bytes
// left: a count that the remaining data cannot hold ends the decoding of the bundle
// instead of allocating or looping for it.

#include "bundle/Codec.h"

#include <stdint.h>
#include <string.h>
#include <utils/String16.h>

#include <type_traits>
#include <utility>

#include "bundle/AsciiText.h"
#include "bundle/DecodeObserver.h"
#include "bundle/Elements.h"
#include "bundle/Log.h"
#include "bundle/Scalar.h"

namespace status {
namespace codec {

namespace {

using android::Parcel;
using Node = Bundle::HashNode;

// ---- the value's part of its entry's single block, for kinds whose size is known
// before writing: the size (0: the kind writes itself), then the bytes the kind's
// encoder would write. `text` carries an ASCII string from one to the other.

template <size_t Size>
size_t fixedSize(const Node&, AsciiText&) {
    return Size;
}

// ---- scalars

void encodeBool(Parcel* p, const Node& n) {
    p->writeInt32(scalar::loadBool(n) ? 1 : 0);
}
void putBool(uint8_t* out, const Node& n, const AsciiText&) {
    putWord<int32_t>(out, scalar::loadBool(n) ? 1 : 0);
}
bool decodeBool(const Parcel* p, Node& n, DecodeObserver*) {
    scalar::storeBool(n, p->readInt32() != 0);
    return true;
}

void encodeInt32(Parcel* p, const Node& n) {
    p->writeInt32(scalar::load<int32_t>(n));
}
void putInt32(uint8_t* out, const Node& n, const AsciiText&) {
    putWord(out, scalar::load<int32_t>(n));
}
bool decodeInt32(const Parcel* p, Node& n, DecodeObserver*) {
    scalar::store<int32_t>(n, p->readInt32());
    return true;
}

void encodeInt64(Parcel* p, const Node& n) {
    p->writeInt64(scalar::load<int64_t>(n));
}
void putInt64(uint8_t* out, const Node& n, const AsciiText&) {
    putWord(out, scalar::load<int64_t>(n));
}
bool decodeInt64(const Parcel* p, Node& n, DecodeObserver*) {
    scalar::store<int64_t>(n, p->readInt64());
    return true;
}

void encodeDouble(Parcel* p, const Node& n) {
    p->writeDouble(scalar::load<double>(n));
}
void putDouble(uint8_t* out, const Node& n, const AsciiText&) {
    putWord(out, scalar::load<double>(n));
}
bool decodeDouble(const Parcel* p, Node& n, DecodeObserver*) {
    scalar::store<double>(n, p->readDouble());
    return true;
}

void encodeString(Parcel* p, const Node& n) {
    writeText(p, n.mString);
}
size_t stringSize(const Node& n, AsciiText& text) {
    text = asciiText(n.mString);
    return text.wireSize;
}
void putString(uint8_t* out, const Node&, const AsciiText& text) {
    putText(out, text);
}
bool decodeString(const Parcel* p, Node& n, DecodeObserver* o) {
    n.mString = readText(p, o, TextRole::kString);
    return true;
}

// ---- nested bundle and bundle array: the stored bytes travel as they are

void encodeStored(Parcel* p, const Node& n) {
    const size_t size = n.mParcel.dataSize();
    p->writeInt32(static_cast<int32_t>(size));
    p->appendFrom(&n.mParcel, 0, size);
}
bool decodeStored(const Parcel* p, Node& n, DecodeObserver* o) {
    const int32_t length = p->readInt32();
    const size_t avail = p->dataAvail();
    if (static_cast<uint32_t>(length) > avail) {
        BUNDLE_LOGE("Invalid Parcelable/Bundle (%d):(%d)", length, static_cast<int>(avail));
        if (o != nullptr) {
            o->problem(DecodeProblem::kStoredTooLong, p->dataPosition() - sizeof(int32_t), length,
                       static_cast<int64_t>(avail));
        }
        return false;
    }
    const size_t pos = p->dataPosition();
    // One copy, sized exactly: a deep nest is copied once per level read.
    n.mParcel.freeData();
    if (length != 0) n.mParcel.setData(p->data() + pos, static_cast<uint32_t>(length));
    p->setDataPosition(pos + static_cast<uint32_t>(length));
    return true;
}
// ---- element arrays: count, then each element; Wire is the element's wire form

template <class T>
uint32_t storedCount(const Node& n) {
    return elements::of<T>(n) == nullptr ? 0 : n.mSize;
}

// The elements' wire values, in a block that holds them all.
template <class T, class Wire>
void putElements(uint8_t* block, const T* data, uint32_t count) {
    if (std::is_same<T, Wire>::value) {
        if (count != 0) memcpy(block, data, count * sizeof(Wire));
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const Wire value = static_cast<Wire>(data[i]);
        memcpy(block + i * sizeof(Wire), &value, sizeof(Wire));
    }
}

// Blocks near the parcel's size limit take the general path, which fails as the
// parcel does.
constexpr size_t kInlineLimit = INT32_MAX / 2;

template <class T, class Wire>
size_t elementsSize(const Node& n, AsciiText&) {
    const uint32_t count = storedCount<T>(n);
    return count > kInlineLimit / sizeof(Wire) ? 0 : sizeof(int32_t) + count * sizeof(Wire);
}

template <class T, class Wire>
void putElementsBlock(uint8_t* out, const Node& n, const AsciiText&) {
    const uint32_t count = storedCount<T>(n);
    putElements<T, Wire>(putWord(out, static_cast<int32_t>(count)), elements::of<T>(n), count);
}

// The elements go into one block reserved at once; they have the same bytes as one
// write per element would give. Only a block the parcel cannot provide falls back to
// writing them one by one, with the parcel's own behaviour on each.
template <class T, class Wire, android::status_t (Parcel::*write)(Wire)>
void encodeElements(Parcel* p, const Node& n) {
    const uint32_t count = storedCount<T>(n);
    p->writeInt32(static_cast<int32_t>(count));
    const T* data = elements::of<T>(n);
    if (count == 0) return;
    if (count <= INT32_MAX / sizeof(Wire)) {
        if (auto* block = static_cast<uint8_t*>(p->writeInplace(count * sizeof(Wire)))) {
            putElements<T, Wire>(block, data, count);
            return;
        }
    }
    for (uint32_t i = 0; i < count; ++i) (p->*write)(static_cast<Wire>(data[i]));
}

// The `count` wire values after the position, which the caller has checked are there,
// as one block; null if the parcel cannot give it.
template <class Wire>
const uint8_t* wireBlock(const Parcel* p, uint32_t count) {
    if (count > INT32_MAX / sizeof(Wire)) return nullptr;
    return static_cast<const uint8_t*>(p->readInplace(count * sizeof(Wire)));
}

template <class Wire>
Wire wireAt(const uint8_t* block, uint32_t i) {
    Wire value;
    memcpy(&value, block + i * sizeof(Wire), sizeof(Wire));
    return value;
}

// Old storage goes first: a repeated key replaces its value, and an array that ends
// the decoding keeps its kind with no elements.
template <class T>
T* resetElements(const Parcel* p, Node& n, uint32_t count, size_t minWireSize, DecodeObserver* o) {
    elements::adopt(n, nullptr, 0);
    if (count == 0) return nullptr;
    if (count > p->dataAvail() / minWireSize) {
        if (o != nullptr) {
            o->problem(DecodeProblem::kCountTooLarge, p->dataPosition() - sizeof(int32_t), count,
                       static_cast<int64_t>(p->dataAvail()));
        }
        return nullptr;
    }
    T* data = elements::allocate<T>(count);
    elements::adopt(n, data, count);
    return data;
}

template <class T>
bool decodeInt32Elements(const Parcel* p, Node& n, DecodeObserver* o) {
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    T* data = resetElements<T>(p, n, count, sizeof(int32_t), o);
    if (data == nullptr) return count == 0;
    const auto element = [](int32_t v) {
        return std::is_same<T, bool>::value ? static_cast<T>(v != 0) : static_cast<T>(v);
    };
    if (const uint8_t* block = wireBlock<int32_t>(p, count)) {
        for (uint32_t i = 0; i < count; ++i) data[i] = element(wireAt<int32_t>(block, i));
        return true;
    }
    for (uint32_t i = 0; i < count; ++i) data[i] = element(p->readInt32());
    return true;
}

void encodeBoolArray(Parcel* p, const Node& n) {
    encodeElements<bool, int32_t, &Parcel::writeInt32>(p, n);
}
bool decodeBoolArray(const Parcel* p, Node& n, DecodeObserver* o) {
    return decodeInt32Elements<bool>(p, n, o);
}

void encodeWordArray(Parcel* p, const Node& n) {
    encodeElements<unsigned short, int32_t, &Parcel::writeInt32>(p, n);
}
bool decodeWordArray(const Parcel* p, Node& n, DecodeObserver* o) {
    return decodeInt32Elements<unsigned short>(p, n, o);
}

void encodeIntArray(Parcel* p, const Node& n) {
    encodeElements<int, int32_t, &Parcel::writeInt32>(p, n);
}
bool decodeIntArray(const Parcel* p, Node& n, DecodeObserver* o) {
    return decodeInt32Elements<int>(p, n, o);
}

void encodeDoubleArray(Parcel* p, const Node& n) {
    encodeElements<double, double, &Parcel::writeDouble>(p, n);
}
bool decodeDoubleArray(const Parcel* p, Node& n, DecodeObserver* o) {
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    double* data = resetElements<double>(p, n, count, sizeof(double), o);
    if (data == nullptr) return count == 0;
    if (const uint8_t* block = wireBlock<double>(p, count)) {
        memcpy(data, block, count * sizeof(double));
        return true;
    }
    for (uint32_t i = 0; i < count; ++i) data[i] = p->readDouble();
    return true;
}

// A byte array is one in-place block. An entry without storage (its block was
// missing when it was decoded) is written with the count 0, which reads back the
// same way: a count and an empty block.
void encodeByteArray(Parcel* p, const Node& n) {
    const uint32_t count = storedCount<unsigned char>(n);
    p->writeInt32(static_cast<int32_t>(count));
    void* block = p->writeInplace(count);
    if (block != nullptr && count != 0) memcpy(block, elements::of<unsigned char>(n), count);
}
bool decodeByteArray(const Parcel* p, Node& n, DecodeObserver* o) {
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    elements::adopt(n, nullptr, 0);
    n.mSize = count;
    const void* block = p->readInplace(count);
    if (block == nullptr && count != 0 && o != nullptr) {
        o->problem(DecodeProblem::kNoBlock, p->dataPosition() - sizeof(int32_t), count, 0);
    }
    if (block != nullptr && count != 0) {
        unsigned char* data = elements::allocate<unsigned char>(count);
        memcpy(data, block, count);
        elements::adopt(n, data, count);
    }
    return true;
}

// A string element takes at least the four bytes of its length.
void encodeStringArray(Parcel* p, const Node& n) {
    const uint32_t count = storedCount<std::string>(n);
    p->writeInt32(static_cast<int32_t>(count));
    const std::string* data = elements::of<std::string>(n);
    for (uint32_t i = 0; i < count; ++i) writeText(p, data[i]);
}
bool decodeStringArray(const Parcel* p, Node& n, DecodeObserver* o) {
    const uint32_t count = static_cast<uint32_t>(p->readInt32());
    std::string* data = resetElements<std::string>(p, n, count, sizeof(int32_t), o);
    if (data == nullptr) return count == 0;
    for (uint32_t i = 0; i < count; ++i) data[i] = readText(p, o, TextRole::kStringElement);
    return true;
}

struct KindCodec {
    void (*encode)(Parcel*, const Node&);
    bool (*decode)(const Parcel*, Node&, DecodeObserver*);
    size_t (*blockSize)(const Node&, AsciiText& text);  // null: the kind writes itself
    void (*putBlock)(uint8_t* out, const Node&, const AsciiText& text);
};

template <class T, class Wire>
constexpr KindCodec numbers(void (*encode)(Parcel*, const Node&),
                            bool (*decode)(const Parcel*, Node&, DecodeObserver*)) {
    return {encode, decode, elementsSize<T, Wire>, putElementsBlock<T, Wire>};
}

// Indexed by the kind tag.
const KindCodec kCodecs[] = {
    {encodeBool, decodeBool, fixedSize<4>, putBool},                     // TYPE_BOOL
    {encodeInt32, decodeInt32, fixedSize<4>, putInt32},                  // TYPE_INT32
    {encodeInt64, decodeInt64, fixedSize<8>, putInt64},                  // TYPE_INT64
    {encodeDouble, decodeDouble, fixedSize<8>, putDouble},               // TYPE_DOUBLE
    {encodeString, decodeString, stringSize, putString},                 // TYPE_STRING
    {encodeStored, decodeStored, nullptr, nullptr},                      // TYPE_BUNDLE
    numbers<bool, int32_t>(encodeBoolArray, decodeBoolArray),            // TYPE_BOOL_ARRAY
    {encodeByteArray, decodeByteArray, nullptr, nullptr},                // TYPE_BYTE_ARRAY
    numbers<unsigned short, int32_t>(encodeWordArray, decodeWordArray),  // TYPE_WORD_ARRAY
    numbers<int, int32_t>(encodeIntArray, decodeIntArray),               // TYPE_INT_ARRAY
    numbers<double, double>(encodeDoubleArray, decodeDoubleArray),       // TYPE_DOUBLE_ARRAY
    {encodeStringArray, decodeStringArray, nullptr, nullptr},            // TYPE_STRING_ARRAY
    {encodeStored, decodeStored, nullptr, nullptr},                      // TYPE_BUNDLE_ARRAY
};
static_assert(sizeof(kCodecs) / sizeof(kCodecs[0]) == Bundle::TYPE_BUNDLE_ARRAY + 1,
              "one codec per kind");

}  // namespace

// ASCII text is widened straight into the parcel; anything else takes String16's
// conversion.
void writeText(Parcel* p, const std::string& text) {
    const AsciiText ascii = asciiText(text);
    if (ascii.wireSize == 0) {
        p->writeString16(android::String16(text.c_str()));
        return;
    }
    if (auto* block = static_cast<uint8_t*>(p->writeInplace(ascii.wireSize))) {
        putText(block, ascii);
        return;
    }
    // The parcel could not take it whole: fail as writeString16 would, after the length.
    if (p->writeInt32(static_cast<int32_t>(ascii.length)) != android::NO_ERROR) return;
    if (auto* units = static_cast<uint8_t*>(p->writeInplace(ascii.wireSize - sizeof(int32_t)))) {
        putText(units - sizeof(int32_t), ascii);
    }
}

void encodeValue(Parcel* p, const Node& node) {
    kCodecs[node.mType].encode(p, node);
}

bool decodeValue(const Parcel* p, Node& node, DecodeObserver* observer) {
    return kCodecs[node.mType].decode(p, node, observer);
}

void writeEntry(Parcel* p, const Node& node) {
    const KindCodec* kind = recognised(node.mType) ? &kCodecs[node.mType] : nullptr;
    const AsciiText key = asciiText(node.mKey);
    AsciiText text{};
    const size_t value =
        kind != nullptr && kind->blockSize != nullptr ? kind->blockSize(node, text) : 0;
    if (key.wireSize != 0 && key.wireSize < kInlineLimit && value < kInlineLimit) {
        auto* out = static_cast<uint8_t*>(p->writeInplace(key.wireSize + sizeof(int32_t) + value));
        if (out != nullptr) {
            out = putWord(putText(out, key), node.mType);
            if (value != 0) {
                kind->putBlock(out, node, text);
            } else if (kind != nullptr) {
                kind->encode(p, node);
            }
            return;
        }
    }
    writeText(p, node.mKey);
    p->writeInt32(node.mType);
    if (kind != nullptr) kind->encode(p, node);
}

}  // namespace codec
}  // namespace status
