// bundle-inspect's JSON reader on arbitrary text: no crash, bounded work, and whatever
// it encodes, the tool describes and encodes again.

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "inspect/Inspect.h"
#include "support/Parcels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const inspect::Json doc = inspect::Json::parse(data, data + size, nullptr, false);
    if (doc.is_discarded()) return 0;
    inspect::Bytes bytes;
    std::string error;
    if (!inspect::encode(doc, bytes, error)) return 0;
    inspect::Kind kind = inspect::Kind::Bundle;
    inspect::kindFromName(doc["kind"].get<std::string>(), kind);
    inspect::Bytes again;
    fuzz::expect(inspect::encode(inspect::describe(bytes, kind, 8), again, error),
                 "the tool encodes its own description");
    return 0;
}
