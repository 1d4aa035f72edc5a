#pragma once

// Text that the encoder writes without the converter: up to its first NUL, ASCII only,
// its String16 is its characters widened. Inline, so that the encoder's calls need no
// jump through the library's symbol table.

#include <stdint.h>
#include <string.h>

#include <string>

namespace status {
namespace codec {

inline size_t pad4(size_t n) {
    return (n + 3) & ~size_t(3);
}

template <class T>
uint8_t* putWord(uint8_t* out, T value) {
    memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

struct AsciiText {
    const char* chars;
    size_t length;
    size_t wireSize;  // length word, units, zero unit and padding; 0 when not ASCII
};

inline AsciiText asciiText(const std::string& text) {
    const char* chars = text.c_str();
    const size_t size = text.size();
    // Eight bytes at a time: their high bits, and whether one of them is zero.
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighs = 0x8080808080808080u;
    uint64_t high = 0;
    uint64_t zero = 0;
    size_t i = 0;
    for (; i + sizeof high <= size; i += sizeof high) {
        uint64_t word;
        memcpy(&word, chars + i, sizeof word);
        high |= word;
        zero |= (word - kOnes) & ~word;
    }
    for (; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(chars[i]);
        high |= c;
        zero |= c == 0 ? kHighs : 0;
    }
    // Bytes after a NUL count towards `high` too: such text may take the converter's
    // path, which writes the same bytes.
    const size_t length = (zero & kHighs) == 0 ? size : strlen(chars);
    AsciiText ascii{chars, length, 0};
    if ((high & kHighs) == 0 && length < INT32_MAX / sizeof(char16_t)) {
        ascii.wireSize = sizeof(int32_t) + pad4((length + 1) * sizeof(char16_t));
    }
    return ascii;
}

// Writes the text's wireSize bytes at `out`; returns their end.
inline uint8_t* putText(uint8_t* out, const AsciiText& text) {
    const char* chars = text.chars;
    const size_t length = text.length;
    uint8_t* const end = out + text.wireSize;
    out = putWord(out, static_cast<int32_t>(length));
    size_t i = 0;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Four characters at a time: each byte moves to the low byte of its unit.
    for (; i + 4 <= length; i += 4) {
        uint32_t c;
        memcpy(&c, chars + i, sizeof c);
        const uint64_t units = (c & 0xFFu) | (uint64_t(c & 0xFF00u) << 8) |
                               (uint64_t(c & 0xFF0000u) << 16) | (uint64_t(c & 0xFF000000u) << 24);
        memcpy(out + i * sizeof(char16_t), &units, sizeof units);
    }
#endif
    for (; i < length; ++i) {
        const char16_t unit = static_cast<unsigned char>(chars[i]);
        memcpy(out + i * sizeof unit, &unit, sizeof unit);
    }
    // The zero unit, and the padding after it when the unit count is odd.
    uint8_t* tail = out + length * sizeof(char16_t);
    const char16_t zeroUnit = 0;
    memcpy(tail, &zeroUnit, sizeof zeroUnit);
    if (length % 2 == 0) memcpy(tail + sizeof zeroUnit, &zeroUnit, sizeof zeroUnit);
    return end;
}

}  // namespace codec
}  // namespace status
