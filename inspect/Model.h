#pragma once

// The names and text forms shared by the JSON form, the text printer and the encoder.

#include <stddef.h>
#include <stdint.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace inspect {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string toHex(const uint8_t* data, size_t size);
inline std::string toHex(const std::string& s) {
    return toHex(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}
// False for an odd length or a character that is not a hex digit.
bool fromHex(const std::string& hex, Bytes& out);

bool isUtf8(const std::string& s);

enum class Kind { Bundle, Array, Item };

const char* kindName(Kind kind);
bool kindFromName(const std::string& name, Kind& kind);

// A text as a JSON string when it is UTF-8, else {"hex": its bytes}.
Json textJson(const std::string& text);
// Finite doubles as numbers (which print to round-trip), others as {"bits": hex}.
Json doubleJson(double value);

}  // namespace inspect
