// Captures every Android log line of the process from the moment this library is
// loaded, before libstatusitem.so's load entry runs, and hands them to Java.
#include <android/log.h>
#include <jni.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex gMutex;
std::vector<std::string> gLines;

void capture(const __android_logger_data* data, const char* message) {
    std::lock_guard<std::mutex> lock(gMutex);
    gLines.push_back(std::to_string(data->priority) + "\t" + (data->tag ? data->tag : "") + "\t" +
                     message);
}

__attribute__((constructor)) void startCapture() {
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    __android_log_set_logger(capture);
}

}  // namespace

// Lines as "priority<TAB>tag<TAB>message", oldest first; the capture starts afresh.
extern "C" JNIEXPORT jobjectArray JNICALL
Java_com_quorvel_dovra_statusitem_TestNative_takeLogLines(JNIEnv* env, jclass) {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        lines.swap(gLines);
    }
    jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return nullptr;
    jobjectArray out = env->NewObjectArray(static_cast<jsize>(lines.size()), stringClass, nullptr);
    env->DeleteLocalRef(stringClass);
    if (out == nullptr) return nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        jstring line = env->NewStringUTF(lines[i].c_str());
        if (line == nullptr) return nullptr;
        env->SetObjectArrayElement(out, static_cast<jsize>(i), line);
        env->DeleteLocalRef(line);
    }
    return out;
}

// Without a load entry of its own, the VM's lookup of JNI_OnLoad in this library would
// find libstatusitem.so's through the dependency and run it a second time.
extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    return JNI_VERSION_1_6;
}
