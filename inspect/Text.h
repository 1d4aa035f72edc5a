#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace inspect {

using Bytes = std::vector<uint8_t>;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string toHex(const uint8_t* data, size_t size);
inline std::string toHex(const std::string& s) {
    return toHex(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}
// False for an odd length or a character that is not a hex digit.
bool fromHex(const std::string& hex, Bytes& out);

bool isUtf8(const std::string& s);

}  // namespace inspect
