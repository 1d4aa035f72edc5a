#pragma once

// Element storage of array entries. Each block carries a small header with its
// element kind and count, so that it is always released as the type it was made
// for, even after the node's kind has changed, and so that a getter of another
// element type never reads it as its own.

#include <stdint.h>

#include <string>
#include <type_traits>

#include "bundle/Bundle.h"

namespace status {
namespace elements {

template <class T>
struct Kind;
template <>
struct Kind<bool> : std::integral_constant<int32_t, Bundle::TYPE_BOOL_ARRAY> {};
template <>
struct Kind<unsigned char> : std::integral_constant<int32_t, Bundle::TYPE_BYTE_ARRAY> {};
template <>
struct Kind<unsigned short> : std::integral_constant<int32_t, Bundle::TYPE_WORD_ARRAY> {};
template <>
struct Kind<int> : std::integral_constant<int32_t, Bundle::TYPE_INT_ARRAY> {};
template <>
struct Kind<double> : std::integral_constant<int32_t, Bundle::TYPE_DOUBLE_ARRAY> {};
template <>
struct Kind<std::string> : std::integral_constant<int32_t, Bundle::TYPE_STRING_ARRAY> {};

// Storage for `count` elements of kind `kind` (strings are constructed empty, other
// elements are left for the caller to fill). Throws std::bad_alloc when the size does
// not fit.
void* allocate(int32_t kind, uint32_t count);
void release(void* data);
int32_t kindOf(const void* data);

template <class T>
T* allocate(uint32_t count) {
    return static_cast<T*>(allocate(Kind<T>::value, count));
}

// The node's elements when its storage holds T, else null.
template <class T>
const T* of(const Bundle::HashNode& node) {
    if (node.mData == nullptr || kindOf(node.mData) != Kind<T>::value) return nullptr;
    return static_cast<const T*>(node.mData);
}

// Hands `data` (count elements) to the node, releasing what it held before.
inline void adopt(Bundle::HashNode& node, void* data, uint32_t count) {
    void* old = node.mData;
    node.mData = data;
    node.mSize = count;
    release(old);
}

}  // namespace elements
}  // namespace status
