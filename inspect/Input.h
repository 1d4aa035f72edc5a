#pragma once

#include <string>

#include "inspect/Model.h"

namespace inspect {

// All bytes of a file, or of standard input for "-". False with a message on failure.
bool readAll(const std::string& path, Bytes& out, std::string& error);

// True when the bytes look like text: printable ASCII and white space only. A parcel
// almost never does, since small int32 values hold zero bytes.
bool looksLikeHex(const Bytes& input);

// Reads a hex dump: lines of an offset column, up to 16 bytes and any text column
// (the demo's dump, hexdump -C with its "*" rows, xxd), or plain hex digits with any
// spacing. '#' starts a comment. False with the line and the reason on anything else.
bool parseHex(const Bytes& input, Bytes& out, std::string& error);

}  // namespace inspect
