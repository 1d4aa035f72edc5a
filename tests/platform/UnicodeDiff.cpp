// Feeds String16 and the UTF-16 to UTF-8 functions the same generated inputs and
// prints one digest line per group of inputs. Built once against the host stand-in and
// once against the platform's libutils; the two outputs must be identical.
// With an argument naming a group, prints that group's raw output stream instead.
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <utils/String16.h>
#include <utils/Unicode.h>

#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

class Sink {
public:
    Sink(const char* name, const char* dump) : mName(name), mDump(dump && !strcmp(dump, name)) {}
    ~Sink() {
        if (!mDump)
            printf("%s %llu %016llx\n", mName, mCount, static_cast<unsigned long long>(mHash));
    }
    void bytes(const void* data, size_t n) {
        if (mDump) fwrite(data, 1, n, stdout);
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) mHash = (mHash ^ p[i]) * 0x100000001B3ull;
    }
    void word(int64_t v) { bytes(&v, sizeof v); }
    void next() { ++mCount; }

private:
    const char* mName;
    bool mDump;
    unsigned long long mCount = 0;
    uint64_t mHash = 0xCBF29CE484222325ull;
};

void emit(Sink& sink, const android::String16& s) {
    sink.word(static_cast<int64_t>(s.size()));
    sink.bytes(s.string(), (s.size() + 1) * sizeof(char16_t));
}

// Both constructors: the C-string one stops at the first zero byte.
void fromUtf8(Sink& sink, const std::string& utf8) {
    emit(sink, android::String16(utf8.c_str()));
    emit(sink, android::String16(utf8.data(), utf8.size()));
    sink.next();
}

// The platform's later form takes the destination size; the stand-in keeps the older one.
template <class Convert = decltype(&utf16_to_utf8)>
void convert(Convert f, const char16_t* src, size_t len, char* dst, size_t room) {
    if constexpr (std::is_invocable_v<Convert, const char16_t*, size_t, char*, size_t>) {
        f(src, len, dst, room);
    } else {
        f(src, len, dst);
    }
}

void toUtf8(Sink& sink, const std::u16string& units) {
    const ssize_t n = utf16_to_utf8_length(units.data(), units.size());
    sink.word(n);
    // A sentinel shows whether anything, the terminator included, was written.
    std::vector<char> out(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\x7F');
    convert(&utf16_to_utf8, units.data(), units.size(), out.data(), out.size());
    sink.bytes(out.data(), out.size());
    sink.next();
}

// Bytes that matter to a UTF-8 decoder: lead classes, continuations, zero, overlong
// and encoded-surrogate starts.
const unsigned char kUtf8Bytes[] = {0x00, 0x01, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0xA0, 0xBF,
                                    0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4,
                                    0xF5, 0xF7, 0xF8, 0xFB, 0xFC, 0xFE, 0xFF};
// Units at the boundaries of each UTF-8 length and of the surrogate ranges.
const char16_t kUnits[] = {0x0000, 0x0001, 0x007F, 0x0080, 0x07FF, 0x0800, 0x0FFF,
                           0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};

}  // namespace

int main(int argc, char** argv) {
    const char* dump = argc > 1 ? argv[1] : nullptr;
    std::mt19937_64 random(20261206);
    {
        Sink sink("utf8-every-1-to-3-bytes", dump);
        for (uint32_t v = 0; v < 0x1000000u; ++v) {
            const char bytes[] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                                  static_cast<char>(v)};
            if (v < 0x100) fromUtf8(sink, std::string(bytes + 2, 1));
            if (v < 0x10000) fromUtf8(sink, std::string(bytes + 1, 2));
            fromUtf8(sink, std::string(bytes, 3));
        }
    }
    {
        // Longer strings of the bytes above: four-byte forms, cut-short and overlong
        // sequences, modified UTF-8 zeros and surrogates.
        Sink sink("utf8-random-structured", dump);
        std::string s;
        for (int i = 0; i < 1000000; ++i) {
            const uint64_t bits = random();
            s.clear();
            for (size_t n = 4 + bits % 13, k = 0; k < n; ++k) {
                const uint64_t r = random();
                s.push_back(r & 1 ? static_cast<char>(kUtf8Bytes[(r >> 1) % sizeof kUtf8Bytes])
                                  : static_cast<char>(r >> 8));
            }
            fromUtf8(sink, s);
        }
    }
    {
        Sink sink("utf16-every-unit-and-boundary-pair", dump);
        toUtf8(sink, std::u16string());
        for (uint32_t u = 0; u < 0x10000; ++u) {
            toUtf8(sink, std::u16string(1, static_cast<char16_t>(u)));
            for (char16_t second : kUnits) toUtf8(sink, {static_cast<char16_t>(u), second});
            for (char16_t first : kUnits) toUtf8(sink, {first, static_cast<char16_t>(u)});
        }
    }
    {
        // Random texts dense in surrogates, unpaired ones included, and zero units.
        Sink sink("utf16-random", dump);
        std::u16string units;
        for (int i = 0; i < 1000000; ++i) {
            units.clear();
            for (size_t n = 1 + random() % 16, k = 0; k < n; ++k) {
                const uint64_t r = random();
                units.push_back(r & 1 ? kUnits[(r >> 1) % (sizeof kUnits / sizeof kUnits[0])]
                                      : static_cast<char16_t>(r >> 16));
            }
            toUtf8(sink, units);
        }
    }
    return 0;
}
