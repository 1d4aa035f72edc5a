#pragma once

// bundle-inspect's modules: reading the input, describing what the library decoded as
// JSON, printing that as text, and encoding it back.

#include <stddef.h>
#include <stdint.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace inspect {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string toHex(const uint8_t* data, size_t size);
// Appends the bytes the digits spell; false, appending nothing, for an odd length or a
// character that is not a hex digit.
bool fromHex(const std::string& hex, Bytes& out);
bool isUtf8(const std::string& s);
// A text as a JSON string when it is UTF-8, else {"hex": its bytes}.
Json textJson(const std::string& text);
// Finite doubles as numbers (which print to round-trip), others as {"bits": hex}.
Json doubleJson(double value);

enum class Kind { Bundle, Array, Item };
const char* kindName(Kind kind);
bool kindFromName(const std::string& name, Kind& kind);

// ---- input

// All bytes of a file, or of standard input for "-"; throws std::runtime_error with a
// message on failure.
Bytes readAll(const std::string& path);
// True when the bytes look like text: printable ASCII and white space only. A parcel
// almost never does, since small int32 values hold zero bytes.
bool looksLikeHex(const Bytes& input);
// Reads a hex dump: lines of an offset column, up to 16 bytes and any text column
// (the demo's dump, hexdump -C with its "*" rows, xxd), or plain hex digits with any
// spacing. '#' starts a comment. False with the line and the reason on anything else.
bool parseHex(const Bytes& input, Bytes& out, std::string& error);

// ---- the library's log

// Routes the library's log lines to the tool, which shows each with the problem that
// caused it instead of letting them reach standard error.
void captureLog();
// The lines logged since the last call, as "E/Bundle: message".
std::vector<std::string> takeLogLines();

// ---- describing, printing, encoding

// Decodes the bytes with the library and describes what it made, in the order the
// encoder writes it, with the offsets the decoder reported, the problems it met (with
// the log lines written for them), trailing bytes, and whether the bytes are their own
// re-encoding. Nested values are decoded `depth` levels deep; deeper ones, and any
// whose bytes the decoded value would not re-encode to, also keep their bytes, so
// that the description always encodes back to the library's re-encoding. Without a
// kind, the first word (and the second) suggest one, and "guessed" says why.
Json describe(const Bytes& bytes, std::optional<Kind> kind, int depth);

// Prints a description as an indented tree, one entry a line, with the offset where
// each starts and at most `elements` elements of an array; then the problems,
// trailing bytes and whether the bytes are their own re-encoding.
void printText(const Json& doc, size_t elements);

// Encodes a description through the library's own setters and encoders, so the bytes
// are what the library would write for that content. False, with the JSON pointer of
// the value refused and why, for anything it cannot encode.
bool encode(const Json& doc, Bytes& out, std::string& error);

}  // namespace inspect
