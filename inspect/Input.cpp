#include "inspect/Inspect.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <sstream>
#include <stdexcept>
#include <vector>

namespace inspect {

Bytes readAll(const std::string& path) {
    FILE* file = path == "-" ? stdin : fopen(path.c_str(), "rb");
    if (file == nullptr) throw std::runtime_error(path + ": " + strerror(errno));
    Bytes out;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    const bool failed = ferror(file) != 0;
    if (file != stdin) fclose(file);
    if (failed) throw std::runtime_error(path + ": read error");
    return out;
}

bool looksLikeHex(const Bytes& input) {
    if (input.empty()) return false;
    for (uint8_t c : input) {
        if ((c < 0x20 || c > 0x7E) && c != '\n' && c != '\r' && c != '\t') return false;
    }
    return true;
}

namespace {

bool isHexDigits(const std::string& token) {
    return !token.empty() && token.find_first_not_of("0123456789abcdefABCDEF") == token.npos;
}

// The offset column of a dump: hex digits ending in ':' or followed by two spaces.
bool isOffsetColumn(const std::string& line, unsigned long long& offset, size_t& after) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    size_t end = start;
    while (end < line.size() && isxdigit(static_cast<unsigned char>(line[end]))) ++end;
    if (end - start < 4 || end - start > 16) return false;
    const bool colon = end < line.size() && line[end] == ':';
    const bool spaced = line.compare(end, 2, "  ") == 0;
    if (!colon && !spaced) return false;
    offset = std::stoull(line.substr(start, end - start), nullptr, 16);
    after = colon ? end + 1 : end;
    return true;
}

// No real parcel comes near: a larger offset after a "*" is taken for no offset.
constexpr unsigned long long kMostRepeated = 1ull << 26;

// An offset counts the bytes read so far, or follows a "*" line (hexdump's mark for
// rows like the last one), which then stands for that row up to the offset.
bool reaches(unsigned long long offset, bool repeated, const Bytes& row, Bytes& out) {
    if (offset == out.size()) return true;
    if (!repeated || row.empty() || offset < out.size() || offset - out.size() > kMostRepeated ||
        (offset - out.size()) % row.size() != 0) {
        return false;
    }
    while (out.size() < offset) out.insert(out.end(), row.begin(), row.end());
    return true;
}

}  // namespace

bool parseHex(const Bytes& input, Bytes& out, std::string& error) {
    std::istringstream lines(std::string(input.begin(), input.end()));
    std::string line;
    bool dump = false;
    bool repeated = false;
    Bytes row;
    for (size_t number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        unsigned long long offset = 0;
        size_t after = 0;
        if (isOffsetColumn(line, offset, after) && reaches(offset, repeated, row, out)) {
            dump = true;
            repeated = false;
            // Byte groups up to 16 bytes; what follows is the text column.
            std::istringstream tokens(line.substr(after));
            std::string token;
            row.clear();
            while (tokens >> token && row.size() + token.size() / 2 <= 16) {
                if (!fromHex(token, row)) break;
            }
            out.insert(out.end(), row.begin(), row.end());
            continue;
        }
        // A dump may end with a line holding its total size alone.
        std::istringstream words(line);
        std::string first, second;
        if (dump && words >> first && !(words >> second)) {
            if (first == "*") {
                repeated = true;
                continue;
            }
            if (isHexDigits(first) && first.size() >= 4 && first.size() <= 16 &&
                reaches(std::stoull(first, nullptr, 16), repeated, row, out)) {
                continue;
            }
        }
        std::string digits;
        for (char c : line) {
            if (isxdigit(static_cast<unsigned char>(c))) {
                digits += c;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                error = format("line %zu: '%c' is not a hex digit", number, c);
                return false;
            }
        }
        if (!fromHex(digits, out)) {
            error = format("line %zu: an odd number of hex digits", number);
            return false;
        }
    }
    return true;
}

}  // namespace inspect
