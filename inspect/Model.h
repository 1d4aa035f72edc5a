#pragma once

// The names shared by the JSON form, the text printer and the encoder.

#include <stdint.h>

#include <nlohmann/json.hpp>
#include <string>

namespace inspect {

using Json = nlohmann::ordered_json;

enum class Kind { Bundle, Array, Item };

const char* kindName(Kind kind);
bool kindFromName(const std::string& name, Kind& kind);

// A text as a JSON string when it is UTF-8, else {"hex": its bytes}.
Json textJson(const std::string& text);
// Finite doubles as numbers (which print to round-trip), others as {"bits": hex}.
Json doubleJson(double value);

}  // namespace inspect
