#include "bundle/Elements.h"

#include <new>

namespace status {
namespace elements {

namespace {

// Aligned for the widest element (a double, the pointer inside a std::string); no
// wider, since every array entry pays for the header.
struct alignas(8) Header {
    int32_t kind;
    uint32_t count;
};

static_assert(alignof(double) <= alignof(Header) && alignof(std::string) <= alignof(Header),
              "elements follow the header at their own alignment");

Header* headerOf(void* data) {
    return static_cast<Header*>(data) - 1;
}
const Header* headerOf(const void* data) {
    return static_cast<const Header*>(data) - 1;
}

size_t elementSize(int32_t kind) {
    switch (kind) {
        case Bundle::TYPE_BOOL_ARRAY:
            return sizeof(bool);
        case Bundle::TYPE_BYTE_ARRAY:
            return sizeof(unsigned char);
        case Bundle::TYPE_WORD_ARRAY:
            return sizeof(unsigned short);
        case Bundle::TYPE_INT_ARRAY:
            return sizeof(int);
        case Bundle::TYPE_DOUBLE_ARRAY:
            return sizeof(double);
        default:
            return sizeof(std::string);
    }
}

}  // namespace

void* allocate(int32_t kind, uint32_t count) {
    const size_t size = elementSize(kind);
    if (count > (SIZE_MAX - sizeof(Header)) / size) throw std::bad_alloc();
    Header* header = static_cast<Header*>(::operator new(sizeof(Header) + count * size));
    header->kind = kind;
    header->count = count;
    void* data = header + 1;
    if (kind == Bundle::TYPE_STRING_ARRAY) {
        std::string* strings = static_cast<std::string*>(data);
        for (uint32_t i = 0; i < count; ++i) new (strings + i) std::string();
    }
    return data;
}

void release(void* data) {
    if (data == nullptr) return;
    Header* header = headerOf(data);
    if (header->kind == Bundle::TYPE_STRING_ARRAY) {
        std::string* strings = static_cast<std::string*>(data);
        for (uint32_t i = 0; i < header->count; ++i) strings[i].~basic_string();
    }
    ::operator delete(header);
}

int32_t kindOf(const void* data) {
    return headerOf(data)->kind;
}

}  // namespace elements
}  // namespace status
