#pragma once

#include <stddef.h>
#include <sys/types.h>

extern "C" {

// Byte length of the UTF-8 form of `src_len` UTF-16 units, without a terminator.
// -1 for a null source or an empty text (the platform keeps this on purpose).
// A surrogate pair counts 4; an unpaired surrogate counts 0 (it is dropped).
ssize_t utf16_to_utf8_length(const char16_t* src, size_t src_len);

// Writes the UTF-8 form and one NUL; `dst` must hold utf16_to_utf8_length() + 1 bytes.
// Writes nothing at all, not even the NUL, for a null source, a null destination or
// a count of 0. Unpaired surrogates are dropped, as the length function counts them.
void utf16_to_utf8(const char16_t* src, size_t src_len, char* dst);
}
