#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <utils/String16.h>

#include <new>

#include "UnicodeInternal.h"

namespace android {

String16::String16() : mString(mInline), mSize(0) {
    mInline[0] = 0;
}

String16::String16(const String16& other) : String16() {
    assign(other.mString, other.mSize);
}

String16::String16(String16&& other) noexcept : String16() {
    *this = static_cast<String16&&>(other);
}

// A null text crashes here as it does on the device, rather than passing on the host
// as an empty string.
String16::String16(const char* utf8) : String16() {
    assignUtf8(utf8, strlen(utf8));
}

String16::String16(const char* utf8, size_t len) : String16() {
    assignUtf8(utf8, len);
}

String16::String16(const char16_t* units, size_t len) : String16() {
    if (len != 0) assign(units, len);
}

String16::String16(const char16_t* units) : String16() {
    size_t len = 0;
    while (units[len] != 0) ++len;
    assign(units, len);
}

String16::~String16() {
    release();
}

String16& String16::operator=(const String16& other) {
    if (this != &other) {
        String16 copy(other);
        *this = static_cast<String16&&>(copy);
    }
    return *this;
}

String16& String16::operator=(String16&& other) noexcept {
    if (this == &other) return *this;
    release();
    mSize = other.mSize;
    if (other.mString == other.mInline) {
        memcpy(mInline, other.mInline, (mSize + 1) * sizeof(char16_t));
        mString = mInline;
    } else {
        mString = other.mString;
    }
    other.mString = other.mInline;
    other.mSize = 0;
    other.mInline[0] = 0;
    return *this;
}

void String16::release() {
    if (mString != mInline) free(mString);
    mString = mInline;
    mSize = 0;
    mInline[0] = 0;
}

namespace {

char16_t* allocUnits(size_t len) {
    if (len >= SIZE_MAX / sizeof(char16_t)) throw std::bad_alloc();
    void* p = malloc((len + 1) * sizeof(char16_t));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<char16_t*>(p);
}

}  // namespace

void String16::assign(const char16_t* units, size_t len) {
    char16_t* buf = len <= kInlineUnits ? mInline : allocUnits(len);
    // The source may lie at an odd address inside a parcel.
    memcpy(buf, units, len * sizeof(char16_t));
    buf[len] = 0;
    mString = buf;
    mSize = len;
}

void String16::assignUtf8(const char* utf8, size_t len) {
    // Most texts are ASCII: one unit per byte, converted in one pass.
    size_t ascii = 0;
    while (ascii < len && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    if (ascii == len) {
        if (len == 0) return;
        char16_t* buf = len <= kInlineUnits ? mInline : allocUnits(len);
        for (size_t i = 0; i < len; ++i) buf[i] = static_cast<unsigned char>(utf8[i]);
        buf[len] = 0;
        mString = buf;
        mSize = len;
        return;
    }
    ssize_t units = tessik::utf8ToUtf16Length(utf8, len);
    if (units <= 0) return;  // empty, or a cut-short final sequence: empty as on the platform
    size_t n = static_cast<size_t>(units);
    char16_t* buf = n <= kInlineUnits ? mInline : allocUnits(n);
    tessik::utf8ToUtf16(utf8, len, buf);
    buf[n] = 0;
    mString = buf;
    mSize = n;
}

}  // namespace android
