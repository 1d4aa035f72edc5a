#pragma once

#include <stddef.h>

namespace android {

// UTF-16 text. Units are stored with one terminating zero unit; size() counts the
// units without it, embedded zero units included.
class String16 {
public:
    String16();
    String16(const String16& other);
    String16(String16&& other) noexcept;
    // Lenient UTF-8 decoding as on the platform: a final sequence cut short makes the
    // whole result empty; continuation bytes are not validated.
    explicit String16(const char* utf8);
    String16(const char* utf8, size_t len);
    String16(const char16_t* units, size_t len);
    explicit String16(const char16_t* units);
    ~String16();

    String16& operator=(const String16& other);
    String16& operator=(String16&& other) noexcept;

    const char16_t* string() const { return mString; }
    size_t size() const { return mSize; }

private:
    void assign(const char16_t* units, size_t len);
    void assignUtf8(const char* utf8, size_t len);
    void release();

    // Short texts (most keys) live inline; longer ones on the heap.
    static constexpr size_t kInlineUnits = 23;
    char16_t* mString;
    size_t mSize;
    char16_t mInline[kInlineUnits + 1];
};

}  // namespace android
