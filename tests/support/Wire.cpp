#include "support/Wire.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <memory>
#include <type_traits>

#include "bundle/BundleArray.h"
#include "support/KeyOrders.h"

namespace testing_support {

Text textOf(const std::u32string& codePoints) {
    Text text;
    for (char32_t c : codePoints) {
        if (c < 0x80) {
            text.utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            text.utf8 += static_cast<char>(0xC0 | c >> 6);
            text.utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text.utf8 += static_cast<char>(0xE0 | c >> 12);
            text.utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text.utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text.utf8 += static_cast<char>(0xF0 | c >> 18);
            text.utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text.utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text.utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
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

void putWord(Bytes& out, uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
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

std::u16string utf16Of(const char* ascii) {
    return std::u16string(ascii, ascii + strlen(ascii));
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
                putText(array, utf16Of(status::BundleArray::BUNDLE_CLASS_NAME));
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

Bytes bundleBytes(const std::vector<Setting>& settings) {
    // The newest value of each key, at the place its first setting made.
    std::map<std::string, size_t> created;
    std::vector<const Setting*> latest;
    for (const Setting& s : settings) {
        const auto [it, fresh] = created.emplace(s.key.utf8, latest.size());
        if (fresh) {
            latest.push_back(&s);
        } else {
            latest[it->second] = &s;
        }
    }
    std::vector<size_t> order(latest.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    // Hash ascending, the newest first among equal hashes.
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int32_t ha = hashOf(latest[a]->key.utf8), hb = hashOf(latest[b]->key.utf8);
        return ha != hb ? ha < hb : a > b;
    });
    Bytes out;
    putWord(out, static_cast<uint32_t>(Bundle::BUNDLE_MAGIC));
    putWord(out, static_cast<uint32_t>(order.size()));
    for (size_t i : order) {
        putText(out, latest[i]->key.utf16);
        putWord(out, static_cast<uint32_t>(latest[i]->value.kind));
        putValue(out, latest[i]->value);
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
    switch (v.kind) {
        case Bundle::TYPE_BOOL:
            b.set(key, v.word != 0);
            break;
        case Bundle::TYPE_INT32:
            b.set(key, static_cast<int>(static_cast<uint32_t>(v.word)));
            break;
        case Bundle::TYPE_INT64:
            b.set(key, static_cast<long long>(v.word));
            break;
        case Bundle::TYPE_DOUBLE:
            b.set(key, doubleOf(v.word));
            break;
        case Bundle::TYPE_STRING:
            b.set(key, v.text.utf8.c_str());
            break;
        case Bundle::TYPE_BUNDLE:
            b.set(key, bundleOf(v.bundles.at(0)));
            break;
        case Bundle::TYPE_BUNDLE_ARRAY: {
            status::BundleArray array;
            for (const std::vector<Setting>& e : v.bundles) array.mBundles.push_back(bundleOf(e));
            b.setArray(key, array);
            break;
        }
        case Bundle::TYPE_BOOL_ARRAY:
            setElements<bool>(b, key, v.elements);
            break;
        case Bundle::TYPE_BYTE_ARRAY:
            setElements<unsigned char>(b, key, v.elements);
            break;
        case Bundle::TYPE_WORD_ARRAY:
            setElements<unsigned short>(b, key, v.elements);
            break;
        case Bundle::TYPE_INT_ARRAY:
            setElements<int>(b, key, v.elements);
            break;
        case Bundle::TYPE_DOUBLE_ARRAY: {
            std::vector<uint64_t> bits = v.elements;
            std::vector<double> values;
            for (uint64_t e : bits) values.push_back(doubleOf(e));
            b.setArray(key, static_cast<unsigned>(values.size()), values.data());
            break;
        }
        case Bundle::TYPE_STRING_ARRAY: {
            std::vector<std::string> texts;
            for (const Text& t : v.texts) texts.push_back(t.utf8);
            b.setArray(key, texts);
            break;
        }
    }
}

Bundle bundleOf(const std::vector<Setting>& settings) {
    Bundle b;
    for (const Setting& s : settings) apply(b, s);
    return b;
}

namespace {

// The elements a getter gives, as the wire words of the value's kind; false when absent.
template <class T>
bool readElements(bool (Bundle::*get)(const char*, std::vector<T>&) const, const Bundle& b,
                  const char* key, std::vector<uint64_t>& words) {
    std::vector<T> out;
    if (!(b.*get)(key, out)) return false;
    for (const T x : out) {
        uint64_t word = 0;
        if constexpr (std::is_same<T, double>::value) {
            memcpy(&word, &x, sizeof x);
        } else {
            word = static_cast<uint32_t>(x);
        }
        words.push_back(word);
    }
    return true;
}

}  // namespace

std::string readsDiffer(const Bundle& b, const std::string& key, const Value& v, bool decoded) {
    const char* k = key.c_str();
    const Bundle::HashNode* node = b.mTree == nullptr ? nullptr : b.mTree->getNode(k, false);
    if (node == nullptr) return "no node";
    if (node->mType != v.kind) return "kind " + std::to_string(node->mType);
    // What the getters must give: booleans 0 or 1, words of 16 bits.
    Value want = v;
    if (v.kind == Bundle::TYPE_BOOL) want.word = static_cast<uint32_t>(v.word) != 0;
    if (v.kind == Bundle::TYPE_INT32) want.word = static_cast<uint32_t>(v.word);
    for (uint64_t& e : want.elements) {
        if (v.kind == Bundle::TYPE_BOOL_ARRAY) e = static_cast<uint32_t>(e) != 0;
        if (v.kind == Bundle::TYPE_WORD_ARRAY) e &= 0xFFFF;
    }
    Value got;
    bool present = true;
    std::vector<std::string> texts;
    switch (v.kind) {
        case Bundle::TYPE_BOOL:
            got.word = b.getBool(k);
            break;
        case Bundle::TYPE_INT32:
            got.word = static_cast<uint32_t>(b.getInt32(k));
            break;
        case Bundle::TYPE_INT64:
            got.word = static_cast<uint64_t>(b.getInt64(k));
            break;
        case Bundle::TYPE_DOUBLE: {
            const double d = b.getDouble(k);
            memcpy(&got.word, &d, sizeof d);
            break;
        }
        case Bundle::TYPE_STRING:
            if (b.getString(k) != v.text.utf8.c_str()) return "string";
            break;
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY: {
            Bytes wire;
            putValue(wire, v);
            return Bytes(wire.begin() + 4, wire.end()) == bytesOf(node->mParcel) ? ""
                                                                                 : "stored bytes";
        }
        case Bundle::TYPE_BOOL_ARRAY:
            present = readElements(&Bundle::getBoolArray, b, k, got.elements);
            break;
        case Bundle::TYPE_BYTE_ARRAY:
            present = readElements(&Bundle::getByteArray, b, k, got.elements);
            break;
        case Bundle::TYPE_WORD_ARRAY:
            present = readElements(&Bundle::getWordArray, b, k, got.elements);
            break;
        case Bundle::TYPE_INT_ARRAY:
            present = readElements(&Bundle::getIntArray, b, k, got.elements);
            break;
        case Bundle::TYPE_DOUBLE_ARRAY:
            present = readElements(&Bundle::getDoubleArray, b, k, got.elements);
            break;
        case Bundle::TYPE_STRING_ARRAY:
            present = b.getStringArray(k, texts);
            for (size_t i = 0; i < texts.size() && i < v.texts.size(); ++i) {
                if (texts[i] != v.texts[i].utf8) return "string element " + std::to_string(i);
            }
            if (texts.size() != v.texts.size()) return std::to_string(texts.size()) + " strings";
            break;
    }
    if (v.kind >= Bundle::TYPE_BOOL_ARRAY) {
        // A decoded array of no elements has no storage and reads as absent.
        const bool empty = want.elements.empty() && v.texts.empty();
        if (present != !(decoded && empty)) return present ? "present" : "absent";
    }
    if (got.word != want.word) return "value";
    return got.elements == want.elements ? "" : "elements";
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
