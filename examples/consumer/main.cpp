// A native producer as another library on the device would be one: it builds status
// items on a thread of its own and hands them to the binder client, and it encodes a
// bundle into a parcel and reads it back. No JVM runs here, so no item is delivered.

#include <binder/Parcel.h>
#include <stdio.h>

#include <string>
#include <thread>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/BundleArray.h"
#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "consumer: %s\n", what);
        ++failures;
    }
}

status::Bundle makeBundle() {
    status::Bundle inner;
    inner.set("level", 3);
    status::BundleArray list;
    list.mBundles.push_back(inner);

    status::Bundle bundle;
    bundle.set("on", true);
    bundle.set("count", 7);
    bundle.set("total", 1LL << 40);
    bundle.set("ratio", 0.25);
    bundle.set("name", "consumer");
    bundle.set("inner", inner);
    const int values[] = {1, 2, 3};
    bundle.setArray("values", 3, values);
    bundle.setArray("words", std::vector<std::string>{"a", "b"});
    bundle.setArray("list", list);
    return bundle;
}

// What a producer thread does: one item of each kind, handed to the binder client.
void produce(int* delivered) {
    std::vector<status::Item> items(5);
    items[0].setBool("consumer.on", true);
    items[1].setLong("consumer.total", 1LL << 40);
    items[2].setDouble("consumer.ratio", 0.25);
    items[3].setString("consumer.name", "consumer");
    items[4].setBundle("consumer.bundle", makeBundle());
    for (const status::Item& item : items) {
        if (status::StatusItemBinder::get()->statusUpdate(item)) ++*delivered;
    }
}

}  // namespace

int main() {
    android::Parcel parcel;
    makeBundle().toParcel(&parcel);
    parcel.setDataPosition(0);
    status::Bundle decoded(&parcel);
    expect(decoded.getBool("on"), "bool");
    expect(decoded.getInt32("count") == 7, "int");
    expect(decoded.getInt64("total") == 1LL << 40, "long");
    expect(decoded.getDouble("ratio") == 0.25, "double");
    expect(decoded.getString("name") == "consumer", "string");
    expect(decoded.getBundle("inner").getInt32("level") == 3, "nested bundle");
    std::vector<int> values;
    expect(decoded.getIntArray("values", values) && values == std::vector<int>{1, 2, 3},
           "int array");
    std::vector<std::string> words;
    expect(decoded.getStringArray("words", words) && words.size() == 2, "string array");
    status::BundleArray list = decoded.getBundleArray("list");
    expect(list.numBundles() == 1 && list.mBundles[0].getInt32("level") == 3, "bundle array");

    int delivered = 0;
    std::thread producer(produce, &delivered);
    producer.join();
    expect(delivered == 0, "an item was delivered without a Java client");

    printf("consumer: bundle of %zu bytes read back, 5 items produced, %d delivered\n",
           parcel.dataSize(), delivered);
    return failures == 0 ? 0 : 1;
}
