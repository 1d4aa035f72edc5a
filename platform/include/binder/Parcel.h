#pragma once

#include <stddef.h>
#include <stdint.h>
#include <utils/Errors.h>
#include <utils/String16.h>

namespace android {

// Host stand-in of the platform parcel: plain data only (no binder objects or file
// descriptors), with the platform's observable behaviour on bounds, padding, growth
// and failed reads.
class Parcel {
public:
    Parcel();
    ~Parcel();
    Parcel(const Parcel&) = delete;
    Parcel& operator=(const Parcel&) = delete;

    const uint8_t* data() const;
    size_t dataSize() const;
    size_t dataAvail() const;
    size_t dataPosition() const;
    size_t dataCapacity() const;

    status_t setDataSize(size_t size);
    void setDataPosition(size_t pos) const;
    status_t setDataCapacity(size_t size);
    status_t setData(const uint8_t* buffer, size_t len);
    status_t appendFrom(const Parcel* parcel, size_t start, size_t len);
    void freeData();

    status_t write(const void* data, size_t len);
    void* writeInplace(size_t len);
    status_t writeInt32(int32_t val);
    status_t writeUint32(uint32_t val);
    status_t writeInt64(int64_t val);
    status_t writeDouble(double val);
    status_t writeString16(const String16& str);
    status_t writeString16(const char16_t* str, size_t len);

    status_t read(void* outData, size_t len) const;
    const void* readInplace(size_t len) const;
    int32_t readInt32() const;
    status_t readInt32(int32_t* pArg) const;
    uint32_t readUint32() const;
    status_t readUint32(uint32_t* pArg) const;
    int64_t readInt64() const;
    status_t readInt64(int64_t* pArg) const;
    double readDouble() const;
    status_t readDouble(double* pArg) const;
    String16 readString16() const;
    const char16_t* readString16Inplace(size_t* outLen) const;

private:
    template <class T>
    status_t writeAligned(T val);
    template <class T>
    status_t readAligned(T* pArg) const;
    template <class T>
    T readAligned() const;
    status_t growData(size_t len);
    status_t reserveAtPos(size_t len);

    uint8_t* mData;
    size_t mDataSize;
    size_t mDataCapacity;
    mutable size_t mDataPos;
    status_t mError;
};

}  // namespace android
