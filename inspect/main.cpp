// bundle-inspect: shows what a captured parcel holds and why decoding stopped, and
// turns its JSON form back into the parcel.

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "inspect/Inspect.h"

namespace {

using namespace inspect;

constexpr int kOk = 0;
constexpr int kFound = 1;  // decoding stopped early, trailing bytes, or not reproducible
constexpr int kUsage = 2;

const char kUsageText[] =
    "usage: bundle-inspect [--as bundle|array|item] [--raw|--hex] [--json]\n"
    "                      [--depth N] [--elements N] [FILE]\n"
    "       bundle-inspect --encode [FILE]\n"
    "Reads a parcel (raw bytes or a hex dump; FILE or - for standard input) and prints\n"
    "its entries with the offset where each starts. Exit status 1 when decoding stops\n"
    "early or leaves bytes over; --encode writes the parcel of a --json description.\n";

enum class Format { Guess, Raw, Hex };

struct Options {
    bool json = false;
    bool encode = false;
    bool help = false;
    Format format = Format::Guess;
    std::optional<Kind> kind;  // guessed when not given
    int depth = 8;
    size_t elements = 8;
    std::string path = "-";
};

bool number(const char* text, long max, long& out) {
    char* end = nullptr;
    out = strtol(text, &end, 10);
    return end != text && *end == '\0' && out >= 0 && out <= max;
}

bool parse(int argc, char** argv, Options& o) {
    bool pathGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--encode") {
            o.encode = true;
        } else if (arg == "--raw") {
            o.format = Format::Raw;
        } else if (arg == "--hex") {
            o.format = Format::Hex;
        } else if (arg == "--as" && hasValue) {
            Kind kind;
            if (!kindFromName(argv[++i], kind)) return false;
            o.kind = kind;
        } else if (arg == "--depth" && hasValue && number(argv[++i], 64, n)) {
            o.depth = static_cast<int>(n);
        } else if (arg == "--elements" && hasValue && number(argv[++i], 1 << 20, n)) {
            o.elements = static_cast<size_t>(n);
        } else if ((arg == "-" || arg[0] != '-') && !pathGiven) {
            o.path = arg;
            pathGiven = true;
        } else {
            return false;
        }
    }
    return true;
}

int encodeJson(const Options& o, const Bytes& input) {
    const Json doc = Json::parse(input.begin(), input.end(), nullptr, false);
    if (doc.is_discarded()) {
        fprintf(stderr, "bundle-inspect: %s: not JSON\n", o.path.c_str());
        return kUsage;
    }
    Bytes out;
    std::string error;
    if (!encode(doc, out, error)) {
        fprintf(stderr, "bundle-inspect: cannot encode %s\n", error.c_str());
        return kUsage;
    }
    fwrite(out.data(), 1, out.size(), stdout);
    if (doc.is_object() && doc.value("exact", true) == false) {
        fprintf(stderr,
                "bundle-inspect: the inspected parcel was not its own re-encoding; these "
                "bytes are the library's re-encoding of it, not the original\n");
        return kFound;
    }
    return kOk;
}

int inspectParcel(const Options& o, Bytes& input) {
    std::string error;
    Bytes bytes;
    const bool hex = o.format == Format::Hex || (o.format == Format::Guess && looksLikeHex(input));
    if (!hex) {
        bytes.swap(input);
    } else if (!parseHex(input, bytes, error)) {
        if (o.format == Format::Hex) {
            fprintf(stderr, "bundle-inspect: %s: %s\n", o.path.c_str(), error.c_str());
            return kUsage;
        }
        // Text that is no hex dump may still be a parcel: the magic is text too.
        fprintf(stderr, "bundle-inspect: %s: not a hex dump (%s); read as raw bytes\n",
                o.path.c_str(), error.c_str());
        bytes.swap(input);
    }
    const Json doc = describe(bytes, o.kind, o.depth);
    if (o.json) {
        printf("%s\n", doc.dump(2).c_str());
    } else {
        printText(doc, o.elements);
    }
    return doc["problems"].empty() && !doc.contains("trailing") ? kOk : kFound;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options) || options.help) {
        fputs(kUsageText, options.help ? stdout : stderr);
        return options.help ? kOk : kUsage;
    }
    captureLog();
    try {
        Bytes input = readAll(options.path);
        return options.encode ? encodeJson(options, input) : inspectParcel(options, input);
    } catch (const std::exception& e) {
        fprintf(stderr, "bundle-inspect: %s\n", e.what());
        return kUsage;
    }
}
