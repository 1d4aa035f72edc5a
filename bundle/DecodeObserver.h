#pragma once

// What the decoders met, for a tool that shows a parcel as the library read it: where
// each entry and value starts, which node a repeated key decoded into, and each problem
// with its offset. Not part of the public headers. With no observer, a decoder pays
// one null check per bundle and text.

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "bundle/Bundle.h"

namespace status {

class BundleArray;
class Item;

enum class DecodeProblem {
    kBadMagic,       // value: the word read; stops (logged)
    kNoCount,        // the data ends before the count; stops
    kShortCount,     // value: the entries promised, other: those read; stops
    kUnknownKind,    // value: the kind; stops
    kStoredTooLong,  // value: the stored length, other: the bytes left; stops (logged)
    kCountTooLarge,  // value: the element count, other: the bytes left; stops
    kNoBlock,        // value: the byte count; the array reads as absent
    kShortValue,     // the data ends inside a scalar; it reads as 0
    kNoText,         // the data ends before a text; other: its TextRole
    kTextTooLong,    // value: the text's length; read as empty; other: its TextRole
    kUnterminated,   // the text has no zero terminator; read as empty; other: its TextRole
    kBadClassName,   // value: the element's index; stops (logged)
    kShortArray,     // value: the bundles promised, other: those read; stops (logged)
    kNoType,         // the data ends before an item's type; it reads as 0
    kUnknownType,    // value: the item's type; stops
};

enum class TextRole { kKey, kString, kStringElement };

class DecodeObserver {
public:
    // An entry's key and kind were read: the node it decodes into (a repeated key's
    // own), where the entry and its value start.
    virtual void entry(const Bundle::HashNode& node, size_t offset, size_t valueOffset) = 0;
    // A bundle inside a bundle array or an item is read between these two; the events
    // between them are its own.
    virtual void bundleStarts(size_t offset) = 0;
    virtual void bundleEnds(size_t offset) = 0;
    // An item's key was read; its type follows at `typeOffset`.
    virtual void item(const std::string& key, size_t typeOffset) = 0;
    // Problems are told after their log line, if they have one.
    virtual void problem(DecodeProblem what, size_t offset, int64_t value, int64_t other) = 0;

protected:
    ~DecodeObserver() = default;
};

// The decoders behind the public constructors Bundle(Parcel*), BundleArray(Parcel*) and
// Item(Parcel*), which call them with no observer; `into` is a new, empty value.
// decodeItem throws the int 2 for an
// unknown type, as Item(Parcel*) does.
void decodeBundle(android::Parcel* p, Bundle& into, DecodeObserver* observer);
void decodeBundleArray(android::Parcel* p, BundleArray& into, DecodeObserver* observer);
void decodeItem(android::Parcel* p, Item& into, DecodeObserver* observer);

// Where a text starts, taken before it is read, and what it claims.
struct TextStart {
    size_t at;
    size_t avail;
    int32_t length;
};
TextStart textStart(const android::Parcel* p);
// After the text was read: tells the observer why it read as empty, if it did not hold.
void noteText(const android::Parcel* p, DecodeObserver& observer, const TextStart& start,
              TextRole role);

std::string readObservedText(const android::Parcel* p, DecodeObserver& observer, TextRole role);

// Reads a text as Bundle::readString does, telling the observer (if any) why one read
// as empty.
inline std::string readText(const android::Parcel* p, DecodeObserver* observer, TextRole role) {
    if (observer == nullptr) return Bundle::readString(const_cast<android::Parcel*>(p));
    return readObservedText(p, *observer, role);
}

}  // namespace status
