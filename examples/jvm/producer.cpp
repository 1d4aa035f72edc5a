// A native status producer, as other native code of the application would be: it
// builds items and hands them to the binder client from a thread of its own.
#include <jni.h>

#include <thread>

#include "bundle/Bundle.h"
#include "statusitem/Item.h"
#include "statusitem/StatusItemBinder.h"

namespace {

void produce() {
    status::StatusItemBinder* binder = status::StatusItemBinder::get();
    status::Item item;

    item.setBool("charging", true);
    binder->statusUpdate(item);

    item.setInt("battery.percent", 87);
    binder->statusUpdate(item);

    item.setDouble("temperature.celsius", 36.6);
    binder->statusUpdate(item);

    item.setString("network", "wifi");
    binder->statusUpdate(item);

    status::Bundle location;
    location.set("latitude", 48.8566);
    location.set("longitude", 2.3522);
    location.set("source", "gps");
    item.setBundle("location", location);
    binder->statusUpdate(item);
}

}  // namespace

// Without a load entry of its own, the VM would find libstatusitem.so's through the
// dependency and run it a second time.
extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    return JNI_VERSION_1_6;
}

extern "C" JNIEXPORT void JNICALL
Java_com_quorvel_dovra_demo_StatusItemDemo_produceOnNativeThread(JNIEnv*, jclass) {
    std::thread producer(produce);
    producer.join();
}
