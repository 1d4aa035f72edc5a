#include <android/log.h>
#include <binder/Parcel.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace android {

namespace {

constexpr size_t kMaxSize = INT32_MAX;

size_t pad4(size_t n) {
    return (n + 3) & ~size_t(3);
}

[[noreturn]] void fatal(const char* what, size_t value) {
    __android_log_print(ANDROID_LOG_FATAL, "Parcel", "%s: %zu", what, value);
    abort();
}

}  // namespace

Parcel::Parcel() : mData(nullptr), mDataSize(0), mDataCapacity(0), mDataPos(0), mError(NO_ERROR) {}

Parcel::~Parcel() {
    free(mData);
}

const uint8_t* Parcel::data() const {
    return mData;
}

size_t Parcel::dataSize() const {
    return mDataSize > mDataPos ? mDataSize : mDataPos;
}

size_t Parcel::dataAvail() const {
    return dataSize() - mDataPos;
}

size_t Parcel::dataPosition() const {
    return mDataPos;
}

size_t Parcel::dataCapacity() const {
    return mDataCapacity;
}

void Parcel::setDataPosition(size_t pos) const {
    if (pos > kMaxSize) fatal("setDataPosition: invalid position", pos);
    mDataPos = pos;
}

void Parcel::freeData() {
    free(mData);
    mData = nullptr;
    mDataSize = mDataCapacity = mDataPos = 0;
    mError = NO_ERROR;
}

// The platform grows to (size + len) * 3 / 2, computed from the size, not the position.
// A position beyond the size would then overflow the buffer there; here the buffer
// always covers position + len.
status_t Parcel::growData(size_t len) {
    if (len > kMaxSize) return BAD_VALUE;
    if (mData == nullptr) mDataSize = mDataPos = 0;  // the first allocation restarts the parcel
    if (mDataSize > SIZE_MAX - len) return NO_MEMORY;
    size_t grown = mDataSize + len;
    if (grown > (SIZE_MAX - 1) / 3) return NO_MEMORY;
    size_t newCap = grown * 3 / 2;
    if (newCap <= mDataSize) return NO_MEMORY;
    if (mDataPos <= SIZE_MAX - len && newCap < mDataPos + len) newCap = mDataPos + len;
    if (newCap > kMaxSize) return BAD_VALUE;
    uint8_t* data = static_cast<uint8_t*>(realloc(mData, newCap));
    if (data == nullptr) {
        mError = NO_MEMORY;
        return NO_MEMORY;
    }
    mData = data;
    mDataCapacity = newCap;
    return NO_ERROR;
}

// Makes room for `len` bytes at the position. Bytes between the end of the data and a
// position set beyond it are zeroed (the platform leaves them undefined).
status_t Parcel::reserveAtPos(size_t len) {
    if (mDataPos > SIZE_MAX - len) return BAD_VALUE;
    if (mData == nullptr || mDataPos + len > mDataCapacity) {
        status_t err = growData(len);
        if (err != NO_ERROR) return err;
    }
    if (mDataPos > mDataSize) memset(mData + mDataSize, 0, mDataPos - mDataSize);
    return NO_ERROR;
}

template <class T>
status_t Parcel::writeAligned(T val) {
    // Room at the end of the data needs neither growth nor zeroing.
    if (mData == nullptr || mDataPos > mDataSize || mDataPos + sizeof(T) > mDataCapacity) {
        status_t err = reserveAtPos(sizeof(T));
        if (err != NO_ERROR) return err;
    }
    memcpy(mData + mDataPos, &val, sizeof(T));
    mDataPos += sizeof(T);
    if (mDataPos > mDataSize) mDataSize = mDataPos;
    return NO_ERROR;
}

status_t Parcel::writeInt32(int32_t val) {
    return writeAligned(val);
}
status_t Parcel::writeUint32(uint32_t val) {
    return writeAligned(val);
}
status_t Parcel::writeInt64(int64_t val) {
    return writeAligned(val);
}
status_t Parcel::writeDouble(double val) {
    return writeAligned(val);
}

void* Parcel::writeInplace(size_t len) {
    if (len > kMaxSize) return nullptr;
    const size_t padded = pad4(len);
    // Room at the end of the data needs neither growth nor zeroing.
    const bool fits =
        mData != nullptr && mDataPos <= mDataSize && padded <= mDataCapacity - mDataPos;
    if (!fits) {
        if (mDataPos > SIZE_MAX - padded) return nullptr;
        if (padded > 0 && reserveAtPos(padded) != NO_ERROR) return nullptr;
        if (mData == nullptr) return nullptr;
    }
    uint8_t* out = mData + mDataPos;
    if (padded != len) {
        // The whole last word: the caller fills the bytes before the padding anyway.
        const uint32_t zero = 0;
        memcpy(out + padded - sizeof zero, &zero, sizeof zero);
    }
    mDataPos += padded;
    if (mDataPos > mDataSize) mDataSize = mDataPos;
    return out;
}

status_t Parcel::write(const void* data, size_t len) {
    void* out = writeInplace(len);
    if (out == nullptr) return len == 0 ? NO_ERROR : BAD_VALUE;
    memcpy(out, data, len);
    return NO_ERROR;
}

status_t Parcel::writeString16(const String16& str) {
    return writeString16(str.string(), str.size());
}

status_t Parcel::writeString16(const char16_t* str, size_t len) {
    if (str == nullptr) return writeInt32(-1);
    if (len >= kMaxSize) return BAD_VALUE;
    status_t err = writeInt32(static_cast<int32_t>(len));
    if (err != NO_ERROR) return err;
    const size_t bytes = len * sizeof(char16_t);
    uint8_t* out = static_cast<uint8_t*>(writeInplace(bytes + sizeof(char16_t)));
    if (out == nullptr) return mError;  // the platform reports its sticky state here
    memcpy(out, str, bytes);
    memset(out + bytes, 0, sizeof(char16_t));
    return NO_ERROR;
}

status_t Parcel::appendFrom(const Parcel* parcel, size_t offset, size_t len) {
    if (len == 0) return NO_ERROR;
    if (len > kMaxSize) return BAD_VALUE;
    const size_t srcSize = parcel->mDataSize;
    if (offset > srcSize || len > srcSize || offset + len > srcSize) return BAD_VALUE;
    // The platform tests size + len against the capacity; the buffer must also cover
    // position + len, since the bytes land at the position.
    const size_t need = (mDataPos > mDataSize ? mDataPos : mDataSize) + len;
    if (mData == nullptr || need > mDataCapacity) {
        status_t err = growData(len);
        if (err != NO_ERROR) return err;
    }
    if (mDataPos > mDataSize) memset(mData + mDataSize, 0, mDataPos - mDataSize);
    memmove(mData + mDataPos, parcel->mData + offset, len);  // the source may be this parcel
    const size_t newSize = mDataSize + len;
    const size_t written = mDataPos + len;
    // size grows by len even when the bytes landed inside the data: the platform's tail
    // is garbage there, here it is zero.
    const size_t from = written > mDataSize ? written : mDataSize;
    if (newSize > from) memset(mData + from, 0, newSize - from);
    mDataPos = written;
    mDataSize = newSize;
    return NO_ERROR;
}

status_t Parcel::setDataSize(size_t size) {
    if (size > kMaxSize) return BAD_VALUE;
    status_t err = setDataCapacity(size);
    if (err != NO_ERROR) return err;
    if (mData == nullptr) return NO_ERROR;  // size 0 on a parcel with no buffer
    if (size > mDataSize) memset(mData + mDataSize, 0, size - mDataSize);
    mDataSize = size;
    if (mDataPos > size) mDataPos = size;
    return NO_ERROR;
}

status_t Parcel::setDataCapacity(size_t size) {
    if (size > kMaxSize) return BAD_VALUE;
    if (size <= mDataCapacity) return NO_ERROR;
    const bool fresh = mData == nullptr;
    uint8_t* data = static_cast<uint8_t*>(realloc(mData, size));
    if (data == nullptr) {
        mError = NO_MEMORY;
        return NO_MEMORY;
    }
    mData = data;
    mDataCapacity = size;
    if (fresh) mDataSize = mDataPos = 0;
    return NO_ERROR;
}

status_t Parcel::setData(const uint8_t* buffer, size_t len) {
    if (len > kMaxSize) return BAD_VALUE;
    if (len == 0) {
        freeData();
        return NO_ERROR;
    }
    uint8_t* data = static_cast<uint8_t*>(realloc(mData, len));
    if (data == nullptr) {
        mError = NO_MEMORY;
        return NO_MEMORY;
    }
    mData = data;
    mDataCapacity = len;
    memcpy(mData, buffer, len);
    mDataSize = len;
    mDataPos = 0;
    return NO_ERROR;
}

template <class T>
status_t Parcel::readAligned(T* pArg) const {
    if (mDataPos > mDataSize || sizeof(T) > mDataSize - mDataPos) return NOT_ENOUGH_DATA;
    memcpy(pArg, mData + mDataPos, sizeof(T));
    mDataPos += sizeof(T);
    return NO_ERROR;
}

template <class T>
T Parcel::readAligned() const {
    T result{};
    readAligned(&result);
    return result;
}

int32_t Parcel::readInt32() const {
    return readAligned<int32_t>();
}
status_t Parcel::readInt32(int32_t* pArg) const {
    return readAligned(pArg);
}
uint32_t Parcel::readUint32() const {
    return readAligned<uint32_t>();
}
status_t Parcel::readUint32(uint32_t* pArg) const {
    return readAligned(pArg);
}
int64_t Parcel::readInt64() const {
    return readAligned<int64_t>();
}
status_t Parcel::readInt64(int64_t* pArg) const {
    return readAligned(pArg);
}
double Parcel::readDouble() const {
    return readAligned<double>();
}
status_t Parcel::readDouble(double* pArg) const {
    return readAligned(pArg);
}

const void* Parcel::readInplace(size_t len) const {
    if (len > kMaxSize) return nullptr;
    const size_t padded = pad4(len);
    if (mDataPos > mDataSize || padded > mDataSize - mDataPos) return nullptr;
    if (mData == nullptr) return nullptr;
    const uint8_t* out = mData + mDataPos;
    mDataPos += padded;
    return out;
}

status_t Parcel::read(void* outData, size_t len) const {
    const void* in = readInplace(len);
    if (in == nullptr) return len == 0 ? NO_ERROR : NOT_ENOUGH_DATA;
    memcpy(outData, in, len);
    return NO_ERROR;
}

const char16_t* Parcel::readString16Inplace(size_t* outLen) const {
    const int32_t n = readInt32();
    *outLen = 0;
    if (n < 0 || n == INT32_MAX) return nullptr;
    const size_t bytes = (static_cast<size_t>(n) + 1) * sizeof(char16_t);
    const uint8_t* units = static_cast<const uint8_t*>(readInplace(bytes));
    if (units == nullptr) return nullptr;
    // A payload whose terminating unit is not zero is refused; its bytes stay consumed.
    if (units[bytes - 2] != 0 || units[bytes - 1] != 0) return nullptr;
    *outLen = static_cast<size_t>(n);
    return reinterpret_cast<const char16_t*>(units);
}

String16 Parcel::readString16() const {
    size_t len;
    const char16_t* str = readString16Inplace(&len);
    if (str != nullptr) return String16(str, len);
    __android_log_print(ANDROID_LOG_ERROR, "Parcel", "Reading a NULL string not supported here.");
    return String16();
}

}  // namespace android
