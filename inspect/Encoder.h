#pragma once

#include <string>

#include "inspect/Model.h"

namespace inspect {

// Encodes the JSON form that describe() makes, through the library's own setters and
// encoders, so the bytes are what the library would write for that content. False,
// with the JSON pointer of the value refused and why, for anything it cannot encode.
bool encode(const Json& doc, Bytes& out, std::string& error);

}  // namespace inspect
