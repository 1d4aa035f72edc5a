// The platform's headers declare only the later four-argument form; the library on
// the devices this system targets exports the three-argument one it calls.
#pragma once

#include <utils/Unicode.h>

void utf16_to_utf8(const char16_t* src, size_t src_len, char* dst);
