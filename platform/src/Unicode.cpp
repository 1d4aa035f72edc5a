#include <limits.h>
#include <string.h>
#include <utils/Unicode.h>

#include "UnicodeInternal.h"

namespace {

bool isHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Units are read through memcpy: a parcel position may be odd after an odd-sized
// append, and the conversion must not fault on such data.
char16_t unitAt(const char16_t* src, size_t i) {
    char16_t u;
    memcpy(&u, reinterpret_cast<const char*>(src) + i * sizeof(char16_t), sizeof u);
    return u;
}

// Bytes of the UTF-8 form of the character at `i`, and how many units it takes.
// Unpaired surrogates yield 0 bytes: they are dropped.
size_t charLength(const char16_t* src, size_t len, size_t i, size_t* units) {
    char16_t u = unitAt(src, i);
    *units = 1;
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (isHigh(u)) {
        if (i + 1 < len && isLow(unitAt(src, i + 1))) {
            *units = 2;
            return 4;
        }
        return 0;
    }
    if (isLow(u)) return 0;
    return 3;
}

}  // namespace

extern "C" ssize_t utf16_to_utf8_length(const char16_t* src, size_t src_len) {
    if (src == nullptr || src_len == 0) return -1;
    size_t total = 0;
    for (size_t i = 0; i < src_len;) {
        size_t units;
        size_t bytes = charLength(src, src_len, i, &units);
        if (total + bytes < total || total + bytes > static_cast<size_t>(SSIZE_MAX)) return -1;
        total += bytes;
        i += units;
    }
    return static_cast<ssize_t>(total);
}

extern "C" void utf16_to_utf8(const char16_t* src, size_t src_len, char* dst) {
    if (src == nullptr || src_len == 0 || dst == nullptr) return;
    unsigned char* out = reinterpret_cast<unsigned char*>(dst);
    for (size_t i = 0; i < src_len;) {
        size_t units;
        size_t bytes = charLength(src, src_len, i, &units);
        char32_t c = unitAt(src, i);
        if (units == 2) c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(src, i + 1) - 0xDC00);
        out = tessik::encodeUtf8(c, bytes, out);
        i += units;
    }
    *out = 0;
}

namespace tessik {

unsigned char* encodeUtf8(char32_t c, size_t bytes, unsigned char* out) {
    switch (bytes) {
        case 1:
            *out++ = static_cast<unsigned char>(c);
            break;
        case 2:
            *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            break;
        case 3:
            *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            break;
        case 4:
            *out++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *out++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            break;
        default:
            break;
    }
    return out;
}

// The platform's lead-byte classes: 80-BF stand alone, F0-FF all take four bytes.
size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

// Continuation bytes are not validated; only their low six bits count.
char32_t decodeUtf8(const unsigned char* s, size_t n) {
    static const unsigned char kLeadMask[] = {0, 0xFF, 0x1F, 0x0F, 0x07};
    char32_t c = s[0] & kLeadMask[n];
    for (size_t i = 1; i < n; ++i) c = (c << 6) | (s[i] & 0x3F);
    return c;
}

ssize_t utf8ToUtf16Length(const char* utf8, size_t len) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8);
    size_t units = 0;
    for (size_t i = 0; i < len;) {
        size_t n = utf8SequenceLength(s[i]);
        if (n > len - i) return -1;
        units += decodeUtf8(s + i, n) > 0xFFFF ? 2 : 1;
        i += n;
    }
    return static_cast<ssize_t>(units);
}

void utf8ToUtf16(const char* utf8, size_t len, char16_t* out) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8);
    for (size_t i = 0; i < len;) {
        size_t n = utf8SequenceLength(s[i]);
        char32_t c = decodeUtf8(s + i, n);
        if (c <= 0xFFFF) {
            *out++ = static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            *out++ = static_cast<char16_t>((c >> 10) + 0xD800);
            *out++ = static_cast<char16_t>((c & 0x3FF) + 0xDC00);
        }
        i += n;
    }
}

}  // namespace tessik
