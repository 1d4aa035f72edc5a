// Generated bundles, set in random order with keys and values of every kind (keys that
// are not ASCII take the per-kind path), encode to the bytes of an independent writer,
// through the one-block path and through the per-kind encoders alike, and decode back
// to what was set.
//
// The decoder builds its tree without walking it; generated streams hold it node for
// node to the tree that inserting the same entries one by one with getNode gives, and
// its re-encoding to the values written. The streams reach both sorts (above and below 256
// entries), every radix digit that all keys share or not, keys of one hash that share
// 16 or more leading bytes and differ in length, repeats that change kind, keys that are
// not ASCII, count words that lie and every way of stopping, after any entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "support/Generated.h"
#include "support/KeyOrders.h"
#include "support/Reference.h"
#include "support/Wire.h"

using status::Bundle;
using namespace testing_support;

namespace {

enum Stop { kNone, kUnknownKind, kNestedTooLong, kArrayTooLong, kBytesMissing, kStops };

struct Entry {
    Text key;
    Value value;
    Stop stop = kNone;
};

struct Stream {
    std::vector<Entry> entries;
    int64_t countDelta = 0;  // the count word says this many more entries
    size_t trailingWords = 0;
};

Bytes bytesOf(const Stream& s) {
    Bytes out;
    putWord(out, static_cast<uint32_t>(Bundle::BUNDLE_MAGIC));
    putWord(out, static_cast<uint32_t>(static_cast<int64_t>(s.entries.size()) + s.countDelta));
    for (const Entry& e : s.entries) {
        putText(out, e.key.utf16);
        putWord(out, static_cast<uint32_t>(e.value.kind));
        switch (e.stop) {
            case kNone:
                putValue(out, e.value);
                break;
            case kUnknownKind:
                break;
            default:  // a length or count that the bytes left cannot back
                putWord(out, static_cast<uint32_t>(e.value.word));
        }
    }
    for (size_t i = 0; i < s.trailingWords; ++i) putWord(out, 0);
    return out;
}

// Keys whose hashes agree in the bytes of `mask` and are random elsewhere, and groups
// of keys of one hash that share 16 or more leading bytes and differ in length.
Keys keyPool(Random& random, size_t count) {
    const unsigned odd = random() % 3;
    const uint32_t mask = random() % 2 ? 0 : random();
    const uint32_t fixed = random();
    const size_t collisionEvery = random() % 2 ? 0 : 2 + random() % 6;
    Keys bases(1 + random() % 4);
    for (std::string& base : bases) {
        base = withHash(std::string(9, 'p') + randomText(random, 8, odd).utf8, random());
    }
    Keys keys;
    for (size_t i = 0; keys.size() < count; ++i) {
        if (random() % 16 == 0) {  // the four two-byte blocks that hash alike
            for (const std::string& k : oneHash(2 + random() % 2, randomText(random, 3, odd).utf8))
                keys.push_back(k);
        } else if (collisionEvery != 0 && i % collisionEvery == 0) {
            const std::string& base = bases[random() % bases.size()];
            keys.push_back(random() % 3 == 0 ? base
                                             : withHash(base + randomText(random, 8, odd).utf8,
                                                        static_cast<uint32_t>(hashOf(base))));
        } else {
            const uint32_t hash = (random() & ~mask) | (fixed & mask);
            keys.push_back(withHash(randomText(random, 6, odd).utf8, hash));
        }
    }
    keys.resize(count);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// The encoder's own order (when no hashes are equal), the hostile orders, or random.
Keys ordered(Random& random, const Keys& keys) {
    const size_t pick = random() % 7;
    if (keys.empty() || pick >= 5) return shuffled(keys, random());
    return pick == 0 ? byHash(keys)
                     : (pick == 1   ? descending
                        : pick == 2 ? converging
                        : pick == 3 ? scattered
                                    : endsThenDescending)(keys);
}

Stream makeStream(Random& random) {
    const unsigned size = random() % 20;
    const size_t count = size < 10   ? random() % 24
                         : size < 16 ? 24 + random() % 300
                         : size < 19 ? 240 + random() % 800
                                     : 1000 + random() % 3000;
    const Keys pool = keyPool(random, random() % 3 ? count : count / 3 + 1);
    Keys keys = ordered(random, pool);
    // Repeats: a key again later, often with another kind.
    const size_t repeats = random() % 3 == 0 ? 0 : random() % (count + 1);
    for (size_t i = 0; i < repeats && !pool.empty(); ++i) {
        const size_t at = random() % (keys.size() + 1);
        keys.insert(keys.begin() + static_cast<long>(at), pool[random() % pool.size()]);
    }
    Stream s;
    const unsigned odd = random() % 3;
    for (const std::string& key : keys) {
        Entry e{textOf(key), randomValue(random, static_cast<int32_t>(random() % 13), odd, 1)};
        // Words that are not canonical: any non-zero word is true.
        if (e.value.kind == Bundle::TYPE_BOOL && random() % 2) {
            e.value.word = random() % 2 ? uint32_t{1} << (random() % 32) : random();
        }
        if (e.value.kind == Bundle::TYPE_BOOL_ARRAY || e.value.kind == Bundle::TYPE_WORD_ARRAY) {
            for (uint64_t& w : e.value.elements) w = random() % 2 ? random() : w;
        }
        if (random() % 5 == 0) {  // empty nested values and arrays
            e.value.bundles.resize(e.value.kind == Bundle::TYPE_BUNDLE ? 1 : 0);
            for (std::vector<Setting>& nested : e.value.bundles) nested.clear();
            e.value.elements.clear();
            e.value.texts.clear();
            e.value.noBytes = !e.value.bundles.empty() && random() % 2;
        }
        s.entries.push_back(e);
    }
    if (!s.entries.empty() && random() % 2) {
        const size_t at = random() % s.entries.size();
        Entry& e = s.entries[at];
        e.stop = static_cast<Stop>(1 + random() % (kStops - 1));
        static const int32_t kUnknown[] = {13, 99, -1, INT32_MAX};
        static const int32_t kNested[] = {Bundle::TYPE_BUNDLE, Bundle::TYPE_BUNDLE_ARRAY};
        static const int32_t kArrays[] = {Bundle::TYPE_BOOL_ARRAY, Bundle::TYPE_WORD_ARRAY,
                                          Bundle::TYPE_INT_ARRAY, Bundle::TYPE_DOUBLE_ARRAY,
                                          Bundle::TYPE_STRING_ARRAY};
        e.value.kind = e.stop == kUnknownKind     ? kUnknown[random() % 4]
                       : e.stop == kNestedTooLong ? kNested[random() % 2]
                       : e.stop == kArrayTooLong  ? kArrays[random() % 5]
                                                  : Bundle::TYPE_BYTE_ARRAY;
        e.value.word = random() % 2 ? 0xFFFFFFFFu : 0x40000000u | random();
        if (at != 0 && random() % 2) {  // a repeat of a key that held a value of the kind
            Entry& earlier = s.entries[random() % at];
            e.key = earlier.key;
            const bool known = e.value.kind >= 0 && e.value.kind <= Bundle::TYPE_BUNDLE_ARRAY;
            earlier.value = randomValue(random, known ? e.value.kind : 0, odd, 1);
        }
    }
    if (random() % 6 == 0) s.countDelta = random() % 2 ? -int64_t(random() % 4) : random() % 6;
    if (random() % 12 == 0) s.countDelta = INT32_MAX - int64_t(s.entries.size());
    if (s.countDelta <= 0 || s.entries.empty() || s.entries.back().stop == kNone) {
        s.trailingWords = random() % 4;  // bytes the decoder must not read
        if (s.countDelta > 0) s.trailingWords = 0;
    }
    return s;
}

// Without a stop, the decoded bundle holds the last value of each key: it encodes as
// the independent writer writes the entries read.
std::string valuesDiffer(const Stream& s, const Bundle& decoded) {
    const uint32_t count = static_cast<uint32_t>(int64_t(s.entries.size()) + s.countDelta);
    if (count > s.entries.size() && s.trailingWords != 0) return "";  // they are read too
    std::vector<Setting> read;
    for (size_t i = 0; i < s.entries.size() && i < count; ++i) {
        if (s.entries[i].stop != kNone) return "";
        read.push_back({s.entries[i].key, s.entries[i].value});
    }
    return encode(decoded) == bundleBytes(read) ? "" : "values";
}

std::string check(const Stream& s) {
    const Bytes stream = bytesOf(s);
    std::string differs = decodingDifference(stream);
    if (!differs.empty()) return differs;
    return valuesDiffer(s, decode<Bundle>(stream));
}

std::string reportStream(const Stream& failing) {
    Stream s = failing;
    s.entries = shrinkItems(s.entries, [&s](const std::vector<Entry>& fewer) {
        Stream t = s;
        t.entries = fewer;
        return !check(t).empty();
    });
    std::string out = std::to_string(s.entries.size()) + " entries, count word " +
                      std::to_string(int64_t(s.entries.size()) + s.countDelta) + ": " + check(s) +
                      "\n";
    for (const Entry& e : s.entries) {
        out += "  " + e.key.utf8 + " kind " + std::to_string(e.value.kind) +
               (e.stop != kNone ? " (stops)" : "") + "\n";
    }
    Bytes stream = bytesOf(s);
    const auto fails = [](const Bytes& b) { return !decodingDifference(b).empty(); };
    if (fails(stream)) {
        stream = shrinkBytes(stream, fails);
        out += "as bytes: " + decodingDifference(stream) + "\n";
    }
    return out + hex(stream);
}

using Settings = std::vector<Setting>;

Settings makeSettings(Random& random) {
    const size_t count = random() % 8 == 0 ? 200 + random() % 400 : random() % 30;
    const unsigned odd = random() % 3;
    std::vector<Text> keys;
    for (size_t i = 0; i < count / 2 + 1; ++i) {
        keys.push_back(
            random() % 8
                ? randomText(random, 12, odd)
                : textOf(withHash(std::string(16, 'q') + randomText(random, 4, odd).utf8, 0x5EED)));
    }
    Settings settings;
    for (size_t i = 0; i < count; ++i) {
        const int32_t kind = static_cast<int32_t>(random() % 13);
        settings.push_back({keys[random() % keys.size()], randomValue(random, kind, odd, 1)});
    }
    return settings;
}

std::string reportSettings(const Settings& failing) {
    const Settings settings = shrinkItems(
        failing, [](const Settings& fewer) { return !encodingDifference(fewer).empty(); });
    std::string out =
        encodingDifference(settings) + " after " + std::to_string(settings.size()) + " settings\n";
    for (const Setting& s : settings) {
        out += "  " + s.key.utf8 + " kind " + std::to_string(s.value.kind) + "\n";
    }
    const Bundle b = bundleOf(settings);
    return out + "toParcel:\n" + hex(encodeOverStaleBytes(b)) + "\nper kind:\n" +
           hex(perKindEncoding(b)) + "\nexpected:\n" + hex(bundleBytes(settings));
}

}  // namespace

TEST(DecoderPropertyTest, GeneratedStreamsDecodeAsInsertionInStreamOrderDoes) {
    const std::string failure = firstFailure<Stream>(scaled(400), makeStream, check, reportStream);
    EXPECT_EQ("", failure);
}

TEST(EncoderPropertyTest, GeneratedBundlesEncodeAsAnIndependentWriterDoes) {
    EXPECT_EQ(
        "", firstFailure<Settings>(scaled(300), makeSettings, encodingDifference, reportSettings));
}
