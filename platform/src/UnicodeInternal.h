#pragma once

#include <stddef.h>
#include <sys/types.h>

namespace tessik {

unsigned char* encodeUtf8(char32_t c, size_t bytes, unsigned char* out);
size_t utf8SequenceLength(unsigned char lead);
char32_t decodeUtf8(const unsigned char* s, size_t n);
// Units of the UTF-16 form, or -1 when the last sequence is cut short.
ssize_t utf8ToUtf16Length(const char* utf8, size_t len);
void utf8ToUtf16(const char* utf8, size_t len, char16_t* out);

}  // namespace tessik
