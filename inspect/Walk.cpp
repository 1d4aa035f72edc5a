#include "inspect/Walk.h"

#include <string.h>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "inspect/Text.h"

namespace inspect {

namespace {

using android::Parcel;
using status::Bundle;

constexpr size_t kMinEntrySize = 2 * sizeof(int32_t);

Problem note(size_t offset, const std::string& entry, std::string reason, bool ends,
             bool logs = false) {
    Problem problem;
    problem.offset = offset;
    problem.entry = entry;
    problem.reason = std::move(reason);
    problem.ends = ends;
    problem.logs = logs;
    return problem;
}

int32_t peekInt32(const Parcel& p) {
    int32_t value = 0;
    if (p.dataAvail() >= sizeof value) memcpy(&value, p.data() + p.dataPosition(), sizeof value);
    return value;
}

// One String16 read the way Bundle::readString reads it, noting a length or a
// terminator that makes it read as empty.
std::string readText(const Parcel& p, std::vector<Problem>& problems, const std::string& entry,
                     const char* what) {
    const size_t at = p.dataPosition();
    const size_t avail = p.dataAvail();
    const int32_t length = peekInt32(p);
    std::string text = Bundle::readString(const_cast<Parcel*>(&p));
    const size_t consumed = p.dataPosition() - at;
    if (avail < sizeof(int32_t)) {
        problems.push_back(note(at, entry, format("the data ends before the %s", what), false));
    } else if (length < -1 || (length >= 0 && consumed == sizeof(int32_t))) {
        problems.push_back(
            note(at, entry, format("%s length %d exceeds the data; read as empty", what, length),
                 false));
    } else if (length >= 0 && length != INT32_MAX) {
        const size_t last = at + sizeof(int32_t) + static_cast<size_t>(length) * 2;
        if (p.data()[last] != 0 || p.data()[last + 1] != 0) {
            problems.push_back(note(
                at, entry, format("%s lacks its zero terminator; read as empty", what), false));
        }
    }
    return text;
}

// A scalar read past the end yields 0 and leaves the position.
void need(const Parcel& p, size_t size, std::vector<Problem>& problems, const std::string& entry) {
    if (p.dataAvail() < size) {
        problems.push_back(
            note(p.dataPosition(), entry, "the data ends inside the value; read as 0", false));
    }
    p.setDataPosition(p.dataPosition() + (p.dataAvail() < size ? 0 : size));
}

// An array count that the bytes left cannot hold ends the decoding.
bool elements(const Parcel& p, BundleTrace& t, const EntryTrace& e, size_t wireSize, bool strings) {
    const size_t at = p.dataPosition();
    const uint32_t count = static_cast<uint32_t>(p.readInt32());
    const size_t avail = p.dataAvail();
    if (count == 0) return true;
    if (count > avail / wireSize) {
        t.problems.push_back(note(
            at, e.key, format("array count %u exceeds the %zu bytes left", count, avail), true));
        return false;
    }
    if (!strings) {
        p.setDataPosition(p.dataPosition() + count * wireSize);
        return true;
    }
    for (uint32_t i = 0; i < count; ++i) readText(p, t.problems, e.key, "string element");
    return true;
}

bool traceValue(const Parcel& p, BundleTrace& t, const EntryTrace& e) {
    switch (e.kind) {
        case Bundle::TYPE_BOOL:
        case Bundle::TYPE_INT32:
            need(p, sizeof(int32_t), t.problems, e.key);
            return true;
        case Bundle::TYPE_INT64:
        case Bundle::TYPE_DOUBLE:
            need(p, sizeof(int64_t), t.problems, e.key);
            return true;
        case Bundle::TYPE_STRING:
            readText(p, t.problems, e.key, "string");
            return true;
        case Bundle::TYPE_BUNDLE:
        case Bundle::TYPE_BUNDLE_ARRAY: {
            const int32_t length = p.readInt32();
            const size_t avail = p.dataAvail();
            if (static_cast<uint32_t>(length) > avail) {
                t.problems.push_back(
                    note(e.valueOffset, e.key,
                         format("stored length %d exceeds the %zu bytes left", length, avail), true,
                         true));
                return false;
            }
            p.setDataPosition(p.dataPosition() + static_cast<uint32_t>(length));
            return true;
        }
        case Bundle::TYPE_BYTE_ARRAY: {
            const uint32_t count = static_cast<uint32_t>(p.readInt32());
            if (p.readInplace(count) == nullptr && count != 0) {
                t.problems.push_back(
                    note(e.valueOffset, e.key,
                         format("byte array of %u bytes has no block; it reads as absent", count),
                         false));
            }
            return true;
        }
        case Bundle::TYPE_DOUBLE_ARRAY:
            return elements(p, t, e, sizeof(double), false);
        case Bundle::TYPE_STRING_ARRAY:
            return elements(p, t, e, sizeof(int32_t), true);
        case Bundle::TYPE_BOOL_ARRAY:
        case Bundle::TYPE_WORD_ARRAY:
        case Bundle::TYPE_INT_ARRAY:
            return elements(p, t, e, sizeof(int32_t), false);
        default:
            t.problems.push_back(
                note(e.offset, e.key, format("unrecognised kind %d", e.kind), true));
            return false;
    }
}

}  // namespace

BundleTrace traceBundle(const Parcel& p) {
    BundleTrace t;
    t.start = p.dataPosition();
    const int32_t magic = p.readInt32();
    if (magic != Bundle::BUNDLE_MAGIC) {
        t.problems.push_back(note(t.start, "",
                                  format("bad magic identifier %08X", static_cast<unsigned>(magic)),
                                  true, true));
        t.end = p.dataPosition();
        return t;
    }
    if (p.dataAvail() < sizeof(int32_t)) {
        t.problems.push_back(note(p.dataPosition(), "", "the data ends before the count", true));
    }
    const uint32_t count = static_cast<uint32_t>(p.readInt32());
    uint32_t read = 0;
    for (; read < count && p.dataAvail() >= kMinEntrySize; ++read) {
        EntryTrace e;
        e.offset = p.dataPosition();
        e.key = readText(p, t.problems, "", "key");
        e.kind = p.readInt32();
        e.valueOffset = p.dataPosition();
        t.entries.push_back(e);
        if (!traceValue(p, t, e)) break;
    }
    if (read < count && p.dataAvail() < kMinEntrySize) {
        t.problems.push_back(
            note(p.dataPosition(), "",
                 format("the count promises %u entries; the data holds %u", count, read), true));
    }
    t.end = p.dataPosition();
    return t;
}

ArrayTrace traceArray(const Parcel& p) {
    ArrayTrace t;
    t.start = p.dataPosition();
    if (p.dataAvail() < sizeof(int32_t)) {
        t.problems.push_back(note(t.start, "", "the data ends before the count", true));
    }
    const uint32_t count = static_cast<uint32_t>(p.readInt32());
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = p.dataPosition();
        const std::string name = Bundle::readString(const_cast<Parcel*>(&p));
        if (name != status::BundleArray::BUNDLE_CLASS_NAME) {
            t.problems.push_back(note(
                at, format("[%u]", i),
                p.dataAvail() == 0 && name.empty()
                    ? format("the count promises %u bundles; the data holds %u", count, i)
                    : "class name is not " + std::string(status::BundleArray::BUNDLE_CLASS_NAME),
                true, true));
            break;
        }
        t.elements.push_back(traceBundle(p));
    }
    t.end = p.dataPosition();
    return t;
}

ItemTrace traceItem(const Parcel& p) {
    ItemTrace t;
    t.start = p.dataPosition();
    t.key = readText(p, t.problems, "", "key");
    const size_t typeAt = p.dataPosition();
    if (p.dataAvail() < sizeof(int32_t)) {
        t.problems.push_back(
            note(typeAt, t.key, "the data ends before the type; read as 0", false));
    }
    t.type = p.readInt32();
    t.valueOffset = p.dataPosition();
    switch (t.type) {
        case 0:
            need(p, sizeof(int32_t), t.problems, t.key);
            break;
        case 1:
        case 2:
            need(p, sizeof(int64_t), t.problems, t.key);
            break;
        case 3:
            readText(p, t.problems, t.key, "string");
            break;
        case 4:
            t.bundle = traceBundle(p);
            break;
        default:
            t.problems.push_back(
                note(typeAt, t.key, format("unknown value type %d", t.type), true));
    }
    t.end = p.dataPosition();
    return t;
}

}  // namespace inspect
