#pragma once

// The wire format written word by word from its definition, never through the
// library's encoders, so that a fault the library's paths share still shows; and a
// model of a bundle as its setters leave it.

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "support/Generated.h"
#include "support/ParcelBytes.h"

namespace testing_support {

using status::Bundle;

struct Text {
    std::string utf8;
    std::u16string utf16;
};

Text textOf(const std::u32string& codePoints);
Text textOf(const std::string& utf8);  // well-formed UTF-8
// Mostly ASCII; `odd` in 8 code points are not (two-, three- and four-byte forms).
Text randomText(Random& random, size_t maxLength, unsigned odd);
// `prefix` and seven more characters that make the key hash to `hash`.
std::string withHash(const std::string& prefix, uint32_t hash);

struct Setting;

// A value as the wire holds it. Scalars keep their words as written: a boolean may be
// any word, of which only zero is false.
struct Value {
    int32_t kind = Bundle::TYPE_INT32;
    uint64_t word = 0;                          // bool, int32, int64, double bits
    Text text;                                  // string
    std::vector<uint64_t> elements;             // bool, byte, word, int arrays; double bits
    std::vector<Text> texts;                    // string array
    std::vector<std::vector<Setting>> bundles;  // one for a bundle; the array's elements
    bool noBytes = false;  // a nested value of length 0, which only a sender writes
};

struct Setting {
    Text key;
    Value value;
};

Value randomValue(Random& random, int32_t kind, unsigned odd, int depth);

void putText(Bytes& out, const std::u16string& units);
// The value's bytes after its kind; nested values with their length word.
void putValue(Bytes& out, const Value& value);
// The last setting of each key, with the words the setters keep, in the encoder's
// order: hash ascending, the newest key first among equal hashes.
std::vector<Setting> wireOrder(const std::vector<Setting>& settings);
// The encoding of a bundle after `settings` were made in order with the setters.
Bytes bundleBytes(const std::vector<Setting>& settings);

// Makes the settings with the library's setters.
void apply(Bundle& bundle, const Setting& setting);
Bundle bundleOf(const std::vector<Setting>& settings);

std::string hex(const Bytes& bytes);

}  // namespace testing_support
