#include "support/Wire.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <memory>

#include "bundle/BundleArray.h"
#include "support/KeyOrders.h"

namespace testing_support {

Text textOf(const std::u32string& codePoints) {
    Text text;
    for (char32_t c : codePoints) {
        static const unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
        const int n = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;  // continuations
        text.utf8 += static_cast<char>(kLead[n] | c >> (6 * n));
        for (int k = n - 1; k >= 0; --k)
            text.utf8 += static_cast<char>(0x80 | (c >> (6 * k) & 0x3F));
        if (c < 0x10000) {
            text.utf16 += static_cast<char16_t>(c);
        } else {
            text.utf16 += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text.utf16 += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return text;
}

Text textOf(const std::string& utf8) {
    std::u32string codePoints;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
        for (size_t k = 1; k < n; ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
        codePoints += cp;
        i += n;
    }
    return textOf(codePoints);
}

Text randomText(Random& random, size_t maxLength, unsigned odd) {
    static const char32_t kWide[] = {0x80,   0xE9,   0x7FF,   0x800,   0x20AC,
                                     0xFFFD, 0xFFFF, 0x10000, 0x1F600, 0x10FFFF};
    std::u32string codePoints(random() % (maxLength + 1), U'a');
    for (char32_t& c : codePoints) {
        if (random() % 8 < odd) {
            c = kWide[random() % (sizeof kWide / sizeof kWide[0])];
        } else {
            c = random() % 16 == 0 ? 1 + random() % 127 : 0x20 + random() % 0x5F;
        }
    }
    return textOf(codePoints);
}

std::string withHash(const std::string& prefix, uint32_t hash) {
    uint32_t power = 1;  // 31^7
    uint32_t ones = 0;   // 1 + 31 + ... + 31^6
    for (int i = 0; i < 7; ++i) {
        ones += power;
        power *= 31;
    }
    uint32_t rest = hash - static_cast<uint32_t>(hashOf(prefix)) * power - 64u * ones;
    std::string digits(7, '@');
    for (int i = 6; i >= 0; --i) {
        digits[static_cast<size_t>(i)] = static_cast<char>('@' + rest % 31);
        rest /= 31;
    }
    return prefix + digits;
}

Value randomValue(Random& random, int32_t kind, unsigned odd, int depth) {
    Value v;
    v.kind = kind;
    const auto wide = [&random] { return uint64_t{random()} << 32 | random(); };
    const size_t count = random() % 4 == 0 ? random() % 40 : random() % 5;
    switch (kind) {
        case Bundle::TYPE_BOOL:
            v.word = random() & 1;
            break;
        case Bundle::TYPE_INT32:
            v.word = random();
            break;
        case Bundle::TYPE_INT64:
        case Bundle::TYPE_DOUBLE:
            v.word = wide();
            break;
        case Bundle::TYPE_STRING:
            v.text = randomText(random, random() % 4 == 0 ? 40 : 10, odd);
            break;
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY:
            v.bundles.resize(kind == Bundle::TYPE_BUNDLE ? 1 : random() % 3);
            for (std::vector<Setting>& nested : v.bundles) {
                nested.resize(depth > 0 ? random() % 4 : 0);
                for (Setting& s : nested) {
                    s.key = randomText(random, 6, odd);
                    s.value =
                        randomValue(random, static_cast<int32_t>(random() % 13), odd, depth - 1);
                }
            }
            break;
        case Bundle::TYPE_STRING_ARRAY:
            for (size_t i = 0; i < count; ++i) v.texts.push_back(randomText(random, 8, odd));
            break;
        default:
            for (size_t i = 0; i < count; ++i) {
                const uint64_t w = wide();
                v.elements.push_back(kind == Bundle::TYPE_BOOL_ARRAY   ? w & 1
                                     : kind == Bundle::TYPE_BYTE_ARRAY ? w & 0xFF
                                     : kind == Bundle::TYPE_WORD_ARRAY ? w & 0xFFFF
                                     : kind == Bundle::TYPE_INT_ARRAY  ? w & 0xFFFFFFFF
                                                                       : w);
            }
    }
    return v;
}

namespace {

void putWide(Bytes& out, uint64_t word) {
    putWord(out, static_cast<uint32_t>(word));
    putWord(out, static_cast<uint32_t>(word >> 32));
}

void pad(Bytes& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void putNested(Bytes& out, const Bytes& nested) {
    putWord(out, static_cast<uint32_t>(nested.size()));
    out.insert(out.end(), nested.begin(), nested.end());
}

}  // namespace

void putText(Bytes& out, const std::u16string& units) {
    putWord(out, static_cast<uint32_t>(units.size()));
    for (char16_t u : units) {
        out.push_back(static_cast<uint8_t>(u));
        out.push_back(static_cast<uint8_t>(u >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    pad(out);
}

void putValue(Bytes& out, const Value& value) {
    if (value.noBytes) return putWord(out, 0);
    switch (value.kind) {
        case Bundle::TYPE_BOOL:
        case Bundle::TYPE_INT32:
            putWord(out, static_cast<uint32_t>(value.word));
            break;
        case Bundle::TYPE_INT64:
        case Bundle::TYPE_DOUBLE:
            putWide(out, value.word);
            break;
        case Bundle::TYPE_STRING:
            putText(out, value.text.utf16);
            break;
        case Bundle::TYPE_BUNDLE:
            putNested(out, bundleBytes(value.bundles.at(0)));
            break;
        case Bundle::TYPE_BUNDLE_ARRAY: {
            Bytes array;
            putWord(array, static_cast<uint32_t>(value.bundles.size()));
            for (const std::vector<Setting>& element : value.bundles) {
                putText(array, textOf(std::string(status::BundleArray::BUNDLE_CLASS_NAME)).utf16);
                const Bytes bytes = bundleBytes(element);
                array.insert(array.end(), bytes.begin(), bytes.end());
            }
            putNested(out, array);
            break;
        }
        case Bundle::TYPE_STRING_ARRAY:
            putWord(out, static_cast<uint32_t>(value.texts.size()));
            for (const Text& t : value.texts) putText(out, t.utf16);
            break;
        default:
            putWord(out, static_cast<uint32_t>(value.elements.size()));
            for (uint64_t e : value.elements) {
                if (value.kind == Bundle::TYPE_BYTE_ARRAY) {
                    out.push_back(static_cast<uint8_t>(e));
                } else if (value.kind == Bundle::TYPE_DOUBLE_ARRAY) {
                    putWide(out, e);
                } else {
                    putWord(out, static_cast<uint32_t>(e));
                }
            }
            pad(out);
    }
}

std::vector<Setting> wireOrder(const std::vector<Setting>& settings) {
    // The newest value of each key, at the place its first setting made.
    std::map<std::string, size_t> created;
    std::vector<Setting> latest;
    for (const Setting& s : settings) {
        const auto [it, fresh] = created.emplace(s.key.utf8, latest.size());
        if (fresh) latest.emplace_back();
        latest[it->second] = s;
        // What setters and getters keep of a word: booleans are 0 or 1, words 16 bits.
        Value& v = latest[it->second].value;
        if (v.kind == Bundle::TYPE_BOOL) v.word = static_cast<uint32_t>(v.word) != 0;
        if (v.kind == Bundle::TYPE_INT32) v.word = static_cast<uint32_t>(v.word);
        for (uint64_t& e : v.elements) {
            if (v.kind == Bundle::TYPE_BOOL_ARRAY) e = static_cast<uint32_t>(e) != 0;
            if (v.kind == Bundle::TYPE_WORD_ARRAY) e &= 0xFFFF;
        }
    }
    // Hash ascending, the newest first among equal hashes.
    std::vector<Setting> order;
    for (size_t i = latest.size(); i-- > 0;) order.push_back(latest[i]);
    std::stable_sort(order.begin(), order.end(), [](const Setting& a, const Setting& b) {
        return hashOf(a.key.utf8) < hashOf(b.key.utf8);
    });
    return order;
}

Bytes bundleBytes(const std::vector<Setting>& settings) {
    const std::vector<Setting> order = wireOrder(settings);
    Bytes out;
    putWord(out, static_cast<uint32_t>(Bundle::BUNDLE_MAGIC));
    putWord(out, static_cast<uint32_t>(order.size()));
    for (const Setting& s : order) {
        putText(out, s.key.utf16);
        putWord(out, static_cast<uint32_t>(s.value.kind));
        putValue(out, s.value);
    }
    return out;
}

namespace {

template <class T>
void setElements(Bundle& b, const char* key, const std::vector<uint64_t>& elements) {
    std::unique_ptr<T[]> data(new T[elements.size() + 1]);
    for (size_t i = 0; i < elements.size(); ++i) data[i] = static_cast<T>(elements[i]);
    b.setArray(key, static_cast<unsigned>(elements.size()), data.get());
}

double doubleOf(uint64_t bits) {
    double d;
    memcpy(&d, &bits, sizeof d);
    return d;
}

}  // namespace

void apply(Bundle& b, const Setting& s) {
    const char* key = s.key.utf8.c_str();
    const Value& v = s.value;
    std::vector<double> doubles;
    std::vector<std::string> texts;
    status::BundleArray array;
    switch (v.kind) {
        case Bundle::TYPE_BOOL:
            return b.set(key, v.word != 0);
        case Bundle::TYPE_INT32:
            return b.set(key, static_cast<int>(static_cast<uint32_t>(v.word)));
        case Bundle::TYPE_INT64:
            return b.set(key, static_cast<long long>(v.word));
        case Bundle::TYPE_DOUBLE:
            return b.set(key, doubleOf(v.word));
        case Bundle::TYPE_STRING:
            return b.set(key, v.text.utf8.c_str());
        case Bundle::TYPE_BUNDLE:
            return b.set(key, bundleOf(v.bundles.at(0)));
        case Bundle::TYPE_BUNDLE_ARRAY:
            for (const std::vector<Setting>& e : v.bundles) array.mBundles.push_back(bundleOf(e));
            return b.setArray(key, array);
        case Bundle::TYPE_BOOL_ARRAY:
            return setElements<bool>(b, key, v.elements);
        case Bundle::TYPE_BYTE_ARRAY:
            return setElements<unsigned char>(b, key, v.elements);
        case Bundle::TYPE_WORD_ARRAY:
            return setElements<unsigned short>(b, key, v.elements);
        case Bundle::TYPE_INT_ARRAY:
            return setElements<int>(b, key, v.elements);
        case Bundle::TYPE_DOUBLE_ARRAY:
            for (uint64_t e : v.elements) doubles.push_back(doubleOf(e));
            return b.setArray(key, static_cast<unsigned>(doubles.size()), doubles.data());
        case Bundle::TYPE_STRING_ARRAY:
            for (const Text& t : v.texts) texts.push_back(t.utf8);
            return b.setArray(key, texts);
    }
}

Bundle bundleOf(const std::vector<Setting>& settings) {
    Bundle b;
    for (const Setting& s : settings) apply(b, s);
    return b;
}

std::string hex(const Bytes& bytes) {
    std::string out;
    char digits[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
        if (i % 4 == 3 && i + 1 < bytes.size()) out += i % 32 == 31 ? '\n' : ' ';
    }
    return out;
}

}  // namespace testing_support
