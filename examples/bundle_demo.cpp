// Builds a bundle of every kind, encodes it, shows the bytes, decodes them and
// prints what comes back.

#include <binder/Parcel.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"

namespace {

void hexDump(const android::Parcel& p) {
    const uint8_t* data = p.data();
    for (size_t i = 0; i < p.dataSize(); i += 16) {
        printf("  %04zx ", i);
        for (size_t j = i; j < i + 16; ++j) {
            if (j < p.dataSize()) {
                printf(" %02X", data[j]);
            } else {
                printf("   ");
            }
        }
        printf("  ");
        for (size_t j = i; j < i + 16 && j < p.dataSize(); ++j) {
            putchar(data[j] >= 0x20 && data[j] < 0x7F ? data[j] : '.');
        }
        putchar('\n');
    }
}

template <class T>
std::string join(const std::vector<T>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += ", ";
        out += std::to_string(values[i]);
    }
    return out + "]";
}

std::string join(const std::vector<std::string>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) out += (i ? ", \"" : "\"") + values[i] + "\"";
    return out + "]";
}

}  // namespace

int main() {
    status::Bundle inner;
    inner.set("level", 3);

    status::Bundle first;
    first.set("name", "first");
    status::Bundle second;
    second.set("name", "second");
    status::BundleArray pair;
    pair.mBundles.push_back(first);
    pair.mBundles.push_back(second);

    const bool flags[] = {true, false, true};
    const unsigned char bytes[] = {0x00, 0x7F, 0xFF};
    const unsigned short words[] = {1, 65535};
    const int ints[] = {-1, 0, 42};
    const double doubles[] = {0.5, -2.25};

    status::Bundle bundle;
    bundle.set("enabled", true);
    bundle.set("count", 42);
    bundle.set("uptime", 1234567890123LL);
    bundle.set("ratio", 0.75);
    bundle.set("label", "h\xC3\xA9llo");
    bundle.set("inner", inner);
    bundle.setArray("flags", 3, flags);
    bundle.setArray("bytes", 3, bytes);
    bundle.setArray("words", 2, words);
    bundle.setArray("ints", 3, ints);
    bundle.setArray("doubles", 2, doubles);
    bundle.setArray("names", std::vector<std::string>{"alpha", "beta"});
    bundle.setArray("pair", pair);

    android::Parcel parcel;
    bundle.toParcel(&parcel);
    printf("encoded %zu bytes:\n", parcel.dataSize());
    hexDump(parcel);

    parcel.setDataPosition(0);
    status::Bundle decoded(&parcel);
    printf("decoded, %d entries:\n", decoded.mTree ? decoded.mTree->mCount : 0);
    std::vector<bool> flagsOut;
    std::vector<unsigned char> bytesOut;
    std::vector<unsigned short> wordsOut;
    std::vector<int> intsOut;
    std::vector<double> doublesOut;
    std::vector<std::string> namesOut;
    decoded.getBoolArray("flags", flagsOut);
    decoded.getByteArray("bytes", bytesOut);
    decoded.getWordArray("words", wordsOut);
    decoded.getIntArray("ints", intsOut);
    decoded.getDoubleArray("doubles", doublesOut);
    decoded.getStringArray("names", namesOut);
    printf("  enabled = %s\n", decoded.getBool("enabled") ? "true" : "false");
    printf("  count   = %d\n", decoded.getInt32("count"));
    printf("  uptime  = %lld\n", decoded.getInt64("uptime"));
    printf("  ratio   = %g\n", decoded.getDouble("ratio"));
    printf("  label   = \"%s\"\n", decoded.getString("label").c_str());
    printf("  inner   = {level = %d}\n", decoded.getBundle("inner").getInt32("level"));
    printf("  flags   = %s\n", join(std::vector<int>(flagsOut.begin(), flagsOut.end())).c_str());
    printf("  bytes   = %s\n", join(bytesOut).c_str());
    printf("  words   = %s\n", join(wordsOut).c_str());
    printf("  ints    = %s\n", join(intsOut).c_str());
    printf("  doubles = %s\n", join(doublesOut).c_str());
    printf("  names   = %s\n", join(namesOut).c_str());
    status::BundleArray pairOut = decoded.getBundleArray("pair");
    printf("  pair    = [");
    for (int i = 0; i < pairOut.numBundles(); ++i) {
        printf("%s{name = \"%s\"}", i ? ", " : "", pairOut.mBundles[i].getString("name").c_str());
    }
    printf("]\n");
    return 0;
}
